#pragma once
// The report list pane: column headers, and rows (an item text plus sub-item texts).
//
// Rows are cheap: texts live in one UTF-8 arena of large blocks, each row a packed run of
// lengths and bytes, so a list of millions of rows holds no string object per cell. A loader
// whose rows already sit in a source (the lines of a mapped file) may instead append a block of
// rows that are split only when shown.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace korvane {

// Rows whose sub-items are produced on demand.
class ListRowSource {
public:
    virtual ~ListRowSource() = default;
    // The sub-item texts of source row `row` (0-based), at most maxCount of them.
    virtual QStringList subItems(int64_t row, int maxCount) const = 0;
    // The row can no longer be read as it was when the rows were added (its file changed):
    // it shows nothing at all, not even its number.
    virtual bool lost(int64_t /*row*/) const { return false; }
};

class ListPane {
public:
    enum class Change { Cleared, Refreshed };

    ListPane();
    ~ListPane();
    ListPane(const ListPane&) = delete;
    ListPane& operator=(const ListPane&) = delete;

    // ColumnHeaders.Clear / ColumnHeaders.Add
    void clearColumnHeaders();
    void addColumnHeader(const QString& text);
    int columnHeaderCount() const { return static_cast<int>(m_headers.size()); }
    const QString& columnHeader(int column) const { return m_headers.at(column); }
    const QStringList& columnHeaders() const { return m_headers; }

    // ListItems.Clear
    void clearListItems();
    // ListItems.Add: appends a row; returns its index.
    int64_t addListItem(QStringView text);
    // ListSubItems.Add on the row added last.
    void addListSubItem(QStringView text);
    // Appends `count` rows numbered NumberText(firstNumber), NumberText(firstNumber + 1), ...
    // whose sub-items are source rows 0 .. count-1, at most `maxSubItems` each.
    void addSourcedListItems(std::shared_ptr<const ListRowSource> source, int64_t count,
                             int64_t firstNumber, int maxSubItems);

    int64_t itemCount() const { return m_itemCount; }
    QString itemText(int64_t row) const;
    QStringList subItems(int64_t row) const;

    // Refresh: the rows are in; views show them now.
    void refresh();

    void setChangeListener(std::function<void(Change)> listener) {
        m_listener = std::move(listener);
    }

    // Bytes held for rows (arena blocks and row index), for measurements.
    int64_t rowStorageBytes() const;

private:
    struct Segment;
    class Arena;
    const Segment& segmentOf(int64_t row) const;
    void notify(Change change);

    QStringList m_headers;
    std::unique_ptr<Arena> m_arena;
    std::vector<Segment> m_segments;
    int64_t m_itemCount = 0;
    std::function<void(Change)> m_listener;
};

}  // namespace korvane
