// How much the query engine costs over simply receiving a table's rows: a table shaped like
// BigTable of edge_big_jet4.mdb (150,000 rows) is handed over once as the baseline, then read
// through saved queries of several shapes. Figures are ratios to the baseline of this run.

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

#include "platform/accessquery/AccessQuery.h"
#include "support/BenchQueryRows.h"
#include "support/BenchReport.h"

namespace {

using korvane::DbValue;
using Kind = DbValue::Kind;

constexpr int kRows = 150000;
const int kRowCount = qEnvironmentVariableIsSet("KORVANE_BENCH_ROWS")
                          ? qEnvironmentVariableIntValue("KORVANE_BENCH_ROWS")
                          : kRows;

DbValue value(Kind kind, int64_t integer, double real = 0, const QString& text = QString()) {
    DbValue v;
    v.kind = kind;
    v.integer = integer;
    v.real = real;
    v.text = text;
    return v;
}

class BigTable : public korvane::TableSource {
public:
    korvane::Status readTable(const QString&, korvane::TableRowSink& sink) override {
        sink.columns({{"ID", Kind::Integer},
                      {"Name", Kind::Text},
                      {"Category", Kind::Text},
                      {"Amount", Kind::Real},
                      {"Price", Kind::Currency},
                      {"Created", Kind::DateTime}});
        std::vector<DbValue> row(6);
        for (int i = 0; i < kRowCount; ++i) {
            row[0] = value(Kind::Integer, i + 1);
            row[1] = value(Kind::Text, 0, 0, QStringLiteral("Name %1").arg(i));
            row[2] = value(Kind::Text, 0, 0, QStringLiteral("cat%1").arg(i % 50));
            row[3] =
                value(Kind::Real, 0, static_cast<double>(static_cast<int64_t>(i) * 7919 % 1000000));
            row[4] = value(Kind::Currency, static_cast<int64_t>(i) * 104729 % 100000000);
            row[5] = value(Kind::DateTime, 0, 36526.0 + i * 7.0 / 1440.0);
            if (!sink.row(row)) {
                break;
            }
        }
        return korvane::Done{};
    }
};

class CountingSink : public korvane::TableRowSink, public korvane::QueryRowSink {
public:
    int64_t rows = 0;
    void columns(const std::vector<korvane::TableColumn>&) override {}
    void columns(const QStringList&) override {}
    bool row(const std::vector<DbValue>&) override {
        ++rows;
        return true;
    }
};

korvane::QueryDefRow row(int32_t id, int attribute, int order, const QString& name1,
                         const QString& expression, std::optional<int32_t> flag) {
    return benchQueryRow(id, attribute, order, name1, expression, flag);
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    korvane::QueryCatalogue catalogue;
    catalogue.objects = {{1, "BigTable", 1, 0}};
    struct Shape {
        const char* name;
        int flags;
        QStringList columns;
        QString where;
        QString groupBy;
        QString orderBy;
    };
    const Shape shapes[] = {
        {"SELECT *", 1, {}, {}, {}, {}},
        {"WHERE Like, ORDER BY text", 0, {"ID", "Name", "Price"}, "Name Like \"*7*\"", {}, "Name"},
        {"GROUP BY with Sum and Count",
         0,
         {"Category", "Sum(Price)", "Count(*)"},
         {},
         "Category",
         {}},
        {"expressions on every row",
         0,
         {"Format(Created, \"yyyy/mm/dd\")", "Left(Name, 4) & Category", "Round(Amount / 3, 2)"},
         {},
         {},
         {}},
    };
    int id = 10;
    for (const Shape& s : shapes) {
        const QString name = QString::fromUtf8(s.name);
        catalogue.objects.push_back({id, name, 5, 0});
        catalogue.queryRows.push_back(row(id, 1, 1, {}, {}, 1));
        catalogue.queryRows.push_back(row(id, 3, 1, {}, {}, s.flags));
        catalogue.queryRows.push_back(row(id, 5, 1, "BigTable", {}, std::nullopt));
        for (int i = 0; i < s.columns.size(); ++i) {
            catalogue.queryRows.push_back(row(id, 6, i + 1, {}, s.columns[i], 0));
        }
        if (!s.where.isEmpty()) {
            catalogue.queryRows.push_back(row(id, 8, 1, {}, s.where, std::nullopt));
        }
        if (!s.groupBy.isEmpty()) {
            catalogue.queryRows.push_back(row(id, 9, 1, {}, s.groupBy, std::nullopt));
        }
        if (!s.orderBy.isEmpty()) {
            catalogue.queryRows.push_back(row(id, 11, 1, {}, s.orderBy, std::nullopt));
        }
        ++id;
    }

    BigTable table;
    QElapsedTimer timer;
    timer.start();
    CountingSink baselineSink;
    table.readTable("BigTable", baselineSink);
    const double baseline = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    std::printf("baseline: handing over %d rows: %.1f ms\n", kRowCount, baseline);
    for (const Shape& s : shapes) {
        CountingSink sink;
        timer.restart();
        const korvane::Status run =
            korvane::runSelectQuery(QString::fromUtf8(s.name), catalogue, table, sink);
        const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (!run) {
            std::printf("%-32s failed: %s\n", s.name, qPrintable(run.failure().text()));
            return 1;
        }
        std::printf("%-32s %7lld rows  %8.1f ms  %5.1f x baseline\n", s.name,
                    static_cast<long long>(sink.rows), elapsed, elapsed / baseline);
        const QByteArray work = QByteArray("saved query over BigTable's rows: ") + s.name;
        korvane::bench::reportLine(work.constData(), {elapsed / 1000, 0},
                                   "handing the same rows over", {baseline / 1000, 0}, 0);
    }
    return 0;
}
