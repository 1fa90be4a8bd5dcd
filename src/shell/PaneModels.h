#pragma once
// Qt item models that show the tree pane and the list pane in their views. The models ask the
// panes only for what the view shows, so a list of millions of rows scrolls without cost.

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <QStringList>

namespace korvane {

class TreePane;
class ListPane;

class TreePaneModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit TreePaneModel(TreePane& pane, QObject* parent = nullptr);
    ~TreePaneModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Indexes of the nodes the pane marks as expanded, for the view to open after a change.
    QModelIndexList expandedIndexes() const;

signals:
    void expansionChanged();

private:
    void rebuild();
    TreePane& m_pane;
    std::vector<int> m_roots;                  // node index of each root row
    std::vector<std::vector<int>> m_children;  // node indexes of each root's children
    std::vector<int> m_rowOfNode;              // row of each node under its parent
};

class ListPaneModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListPaneModel(ListPane& pane, QObject* parent = nullptr);
    ~ListPaneModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Shows what the pane holds now (rows added since the last refresh included).
    void sync();

private:
    ListPane& m_pane;
    int m_rows = 0;
    QStringList m_headers;
    mutable int64_t m_cachedRow = -1;
    mutable QStringList m_cachedTexts;  // item text, then sub-items, of m_cachedRow
};

}  // namespace korvane
