#include "shell/PaneModels.h"

#include <QFont>
#include <algorithm>
#include <limits>

#include "shell/ListPane.h"
#include "shell/TreePane.h"

namespace korvane {

namespace {
// Internal id of a root row; child rows carry their root's row + 1.
constexpr quintptr kRootId = 0;
}  // namespace

TreePaneModel::TreePaneModel(TreePane& pane, QObject* parent)
    : QAbstractItemModel(parent), m_pane(pane) {
    rebuild();
    m_pane.setChangeListener([this] {
        beginResetModel();
        rebuild();
        endResetModel();
        emit expansionChanged();
    });
}

TreePaneModel::~TreePaneModel() {
    m_pane.setChangeListener({});
}

void TreePaneModel::rebuild() {
    const auto& nodes = m_pane.nodes();
    m_roots.clear();
    m_children.clear();
    m_rowOfNode.assign(nodes.size(), 0);
    std::vector<int> rootRow(nodes.size(), -1);
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].parent < 0) {
            rootRow[i] = static_cast<int>(m_roots.size());
            m_rowOfNode[i] = rootRow[i];
            m_roots.push_back(static_cast<int>(i));
            m_children.emplace_back();
        } else {
            auto& siblings = m_children[static_cast<size_t>(rootRow[nodes[i].parent])];
            m_rowOfNode[i] = static_cast<int>(siblings.size());
            siblings.push_back(static_cast<int>(i));
        }
    }
}

QModelIndex TreePaneModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) {
        return {};
    }
    if (!parent.isValid()) {
        return row < static_cast<int>(m_roots.size()) ? createIndex(row, 0, kRootId)
                                                      : QModelIndex();
    }
    if (parent.internalId() != kRootId) {
        return {};
    }
    const auto& children = m_children[static_cast<size_t>(parent.row())];
    return row < static_cast<int>(children.size())
               ? createIndex(row, 0, static_cast<quintptr>(parent.row()) + 1)
               : QModelIndex();
}

QModelIndex TreePaneModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == kRootId) {
        return {};
    }
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kRootId);
}

int TreePaneModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) {
        return static_cast<int>(m_roots.size());
    }
    if (parent.column() != 0 || parent.internalId() != kRootId) {
        return 0;
    }
    return static_cast<int>(m_children[static_cast<size_t>(parent.row())].size());
}

int TreePaneModel::columnCount(const QModelIndex& /*parent*/) const {
    return 1;
}

QVariant TreePaneModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int node = index.internalId() == kRootId
                         ? m_roots[static_cast<size_t>(index.row())]
                         : m_children[index.internalId() - 1][static_cast<size_t>(index.row())];
    const TreePane::Node& n = m_pane.nodes()[static_cast<size_t>(node)];
    if (role == Qt::DisplayRole) {
        return n.text;
    }
    if (role == Qt::FontRole && n.bold) {
        QFont font;
        font.setBold(true);
        return font;
    }
    return {};
}

QModelIndexList TreePaneModel::expandedIndexes() const {
    QModelIndexList result;
    for (size_t row = 0; row < m_roots.size(); ++row) {
        if (m_pane.nodes()[static_cast<size_t>(m_roots[row])].expanded) {
            result.append(createIndex(static_cast<int>(row), 0, kRootId));
        }
    }
    return result;
}

ListPaneModel::ListPaneModel(ListPane& pane, QObject* parent)
    : QAbstractTableModel(parent), m_pane(pane) {
    sync();
    m_pane.setChangeListener([this](ListPane::Change) { sync(); });
}

ListPaneModel::~ListPaneModel() {
    m_pane.setChangeListener({});
}

void ListPaneModel::sync() {
    beginResetModel();
    // A view counts rows in int; beyond that the list shows its first 2^31-1 rows.
    m_rows =
        static_cast<int>(std::min<int64_t>(m_pane.itemCount(), std::numeric_limits<int>::max()));
    m_headers = m_pane.columnHeaders();
    m_cachedRow = -1;
    m_cachedTexts.clear();
    endResetModel();
}

int ListPaneModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int ListPaneModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant ListPaneModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    if (m_cachedRow != index.row()) {
        m_cachedTexts = m_pane.subItems(index.row());
        m_cachedTexts.prepend(m_pane.itemText(index.row()));
        m_cachedRow = index.row();
    }
    return index.column() < m_cachedTexts.size() ? m_cachedTexts.at(index.column()) : QString();
}

QVariant ListPaneModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_headers.size()) {
        return m_headers.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace korvane
