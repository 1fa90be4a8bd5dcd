#include "shell/TreePane.h"

namespace korvane {

void TreePane::clear() {
    m_nodes.clear();
    changed();
}

int TreePane::addRoot(const QString& key, const QString& text) {
    m_nodes.push_back(Node{key, text, -1, false, false});
    changed();
    return static_cast<int>(m_nodes.size()) - 1;
}

int TreePane::addChild(const QString& parentKey, const QString& text) {
    const int parent = find(parentKey);
    if (parent < 0) {
        return -1;
    }
    m_nodes.push_back(Node{QString(), text, parent, false, false});
    changed();
    return static_cast<int>(m_nodes.size()) - 1;
}

void TreePane::setBold(int node, bool bold) {
    if (node >= 0 && node < static_cast<int>(m_nodes.size())) {
        m_nodes[node].bold = bold;
        changed();
    }
}

int TreePane::find(const QString& key) const {
    if (key.isEmpty()) {
        return -1;
    }
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        if (m_nodes[i].key == key) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TreePane::setExpanded(int node, bool expanded) {
    if (node >= 0 && node < static_cast<int>(m_nodes.size())) {
        m_nodes[node].expanded = expanded;
        changed();
    }
}

std::vector<int> TreePane::displayOrder() const {
    std::vector<int> order;
    order.reserve(m_nodes.size());
    for (size_t root = 0; root < m_nodes.size(); ++root) {
        if (m_nodes[root].parent != -1) {
            continue;
        }
        order.push_back(static_cast<int>(root));
        for (size_t child = root + 1; child < m_nodes.size(); ++child) {
            if (m_nodes[child].parent == static_cast<int>(root)) {
                order.push_back(static_cast<int>(child));
            }
        }
    }
    return order;
}

void TreePane::changed() {
    if (m_listener) {
        m_listener();
    }
}

}  // namespace korvane
