#pragma once
// The tree pane: an ordered forest of root nodes (key and text) with child nodes (text only).

#include <QString>
#include <functional>
#include <vector>

namespace korvane {

class TreePane {
public:
    struct Node {
        QString key;
        QString text;
        int parent = -1;  // index of the parent node, -1 for a root
        bool bold = false;
        bool expanded = false;
    };

    // Nodes.Clear
    void clear();
    // Nodes.Add for a root: appends a root after the existing roots; returns its index.
    int addRoot(const QString& key, const QString& text);
    // Nodes.Add for a child (Relationship 4): appends a last child under the root with that key.
    // Returns its index, or -1 when no node has that key.
    int addChild(const QString& parentKey, const QString& text);
    void setBold(int node, bool bold);
    // Nodes.Item(key): the index of the node with that key, or -1.
    int find(const QString& key) const;
    void setExpanded(int node, bool expanded);

    const std::vector<Node>& nodes() const { return m_nodes; }
    // The nodes in display order: each root followed by its children.
    std::vector<int> displayOrder() const;

    // Called after every change, so a view can follow.
    void setChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    void changed();
    std::vector<Node> m_nodes;
    std::function<void()> m_listener;
};

}  // namespace korvane
