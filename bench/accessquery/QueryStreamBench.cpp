// Showing the first 100 records of a saved query against showing all of it: the query reads the
// 150,000-row BigTable of edge_big_jet4.mdb through the reader helper, and its rows are stepped
// as they are asked for, so a record limit stops the work early. Each record's values are turned
// into the texts the list pane shows. The two take turns; min/median/max of the runs, the ratio
// of the medians, and a check that both give the same first 100 rows.
// Usage: accessquery_stream_bench [DB.mdb [RUNS]]; defaults to the shared fixture and 5 runs.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/accessquery/AccessQuery.h"
#include "platform/mdb/DataAccess.h"
#include "platform/mdb/DbValueText.h"
#include "support/BenchQueryRows.h"
#include "support/BenchReport.h"

namespace {

using korvane::DbValue;

// A table's rows taken from an open recordset as they are asked for.
class RecordsetRows : public korvane::TableRowStream {
public:
    explicit RecordsetRows(std::unique_ptr<korvane::Recordset> rs) : m_rs(std::move(rs)) {}
    korvane::Result<bool> next(std::vector<DbValue>& row) override {
        if (m_rs->Eof()) {
            return false;
        }
        const korvane::Fields& fields = m_rs->fields();
        row.resize(static_cast<size_t>(fields.Count()));
        for (int i = 0; i < fields.Count(); ++i) {
            row[static_cast<size_t>(i)] = fields.Item(i)->Value();
        }
        m_rs->MoveNext();
        return true;
    }
    korvane::Status rewind() override {
        m_rs->MoveFirst();
        return korvane::Done{};
    }

private:
    std::unique_ptr<korvane::Recordset> m_rs;
};

// BigTable read through the data-access component, as the engine's table source.
class RecordsetTable : public korvane::TableSource {
public:
    explicit RecordsetTable(korvane::Connection& connection) : m_connection(connection) {}

    std::unique_ptr<korvane::TableRowStream> openRowStream(const QString& name) override {
        auto rs = std::make_unique<korvane::Recordset>();
        if (!rs->Open(name, m_connection)) {
            return nullptr;
        }
        return std::make_unique<RecordsetRows>(std::move(rs));
    }

    korvane::Status readTable(const QString& name, korvane::TableRowSink& sink) override {
        korvane::Recordset rs;
        if (!rs.Open(name, m_connection)) {
            return *rs.failure();
        }
        const korvane::Fields& fields = rs.fields();
        std::vector<korvane::TableColumn> columns;
        for (int i = 0; i < fields.Count(); ++i) {
            columns.push_back({fields.Item(i)->Name(), fields.Item(i)->Value().kind});
        }
        sink.columns(columns);
        std::vector<DbValue> row(columns.size());
        while (!rs.Eof()) {
            for (int i = 0; i < fields.Count(); ++i) {
                row[static_cast<size_t>(i)] = fields.Item(i)->Value();
            }
            if (!sink.row(row) || !rs.MoveNext()) {
                break;
            }
        }
        if (rs.failure()) {
            return *rs.failure();
        }
        return korvane::Done{};
    }

private:
    korvane::Connection& m_connection;
};

korvane::QueryDefRow row(int attribute, int order, const QString& name1, const QString& expression,
                         std::optional<int32_t> flag) {
    return benchQueryRow(2, attribute, order, name1, expression, flag);
}

// SELECT ID, Name, Category, Price, Created, Label FROM BigTable WHERE Qty >= 0: six of the
// table's twelve columns, every row.
korvane::QueryCatalogue catalogue() {
    korvane::QueryCatalogue c;
    c.objects = {{1, QStringLiteral("BigTable"), 1, 0}, {2, QStringLiteral("Big Query"), 5, 0}};
    c.queryRows = {row(1, 1, {}, {}, 1), row(3, 1, {}, {}, 0), row(5, 1, "BigTable", {}, {})};
    const char* columns[] = {"ID", "Name", "Category", "Price", "Created", "Label"};
    for (int i = 0; i < 6; ++i) {
        c.queryRows.push_back(row(6, i + 1, {}, QString::fromUtf8(columns[i]), 0));
    }
    c.queryRows.push_back(row(8, 1, {}, QStringLiteral("Qty >= 0"), {}));
    return c;
}

// Opens the query and shows `limit` records (0: all); the texts of the first 100 go to `first`.
double show(const QString& path, int limit, int64_t* shown, QStringList* first) {
    QElapsedTimer timer;
    timer.start();
    korvane::Connection connection;
    connection.Open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
    RecordsetTable table(connection);
    const korvane::QueryCatalogue c = catalogue();
    auto cursor = korvane::openSelectQuery(QStringLiteral("Big Query"), c, table);
    if (!cursor) {
        std::fprintf(stderr, "%s\n", qPrintable(cursor.failure().text()));
        return -1;
    }
    std::vector<DbValue> values;
    QStringList cells;
    *shown = 0;
    while (limit <= 0 || *shown < limit) {
        const korvane::Result<bool> next = cursor.value()->next(values);
        if (!next || !next.value()) {
            break;
        }
        cells.clear();
        for (const DbValue& value : values) {
            cells << korvane::DbValueText(value);
        }
        if (++*shown <= 100) {
            *first << cells.join(QLatin1Char('|'));
        }
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void report(const char* what, std::vector<double> times, int64_t rows) {
    std::sort(times.begin(), times.end());
    std::printf("%-28s %7lld rows  min %8.1f  median %8.1f  max %8.1f ms\n", what,
                static_cast<long long>(rows), times.front(), times[times.size() / 2], times.back());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString fixtures = qEnvironmentVariable("KORVANE_FIXTURES", "/work/shared/fixtures");
    const QString path =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : fixtures + "/mdb/edge_big_jet4.mdb";
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    if (!QFileInfo::exists(path)) {
        std::printf("accessquery stream bench: %s not found, skipped\n", qPrintable(path));
        return 0;
    }
    std::vector<double> firstTimes, allTimes;
    int64_t firstRows = 0, allRows = 0;
    bool same = true;
    for (int run = 0; run < runs; ++run) {
        QStringList fromLimited, fromAll;
        firstTimes.push_back(show(path, 100, &firstRows, &fromLimited));
        allTimes.push_back(show(path, 0, &allRows, &fromAll));
        same = same && fromLimited == fromAll && fromLimited.size() == 100;
    }
    // One table line per turn: the first 100 records against all of them, taken just after.
    for (size_t i = 0; i < firstTimes.size(); ++i) {
        korvane::bench::reportLine("first 100 records of a saved query over BigTable",
                                   {firstTimes[i] / 1000, 0}, "all of its records",
                                   {allTimes[i] / 1000, 0}, 0.33);
    }
    report("query, first 100 records", firstTimes, firstRows);
    report("query, all records", allTimes, allRows);
    std::sort(firstTimes.begin(), firstTimes.end());
    std::sort(allTimes.begin(), allTimes.end());
    std::printf("first 100 / all (medians): %.2f (goal < 0.33); same first 100 rows: %s\n",
                firstTimes[firstTimes.size() / 2] / allTimes[allTimes.size() / 2],
                same ? "yes" : "NO");
    return same ? 0 : 1;
}
