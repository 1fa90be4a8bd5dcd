// The Access-SQL rebuilder and the query engine on arbitrary MSysQueries rows: no crash, no
// undefined behaviour, no hang, and every result row as wide as the column list.
//
// Input: one row per line, fields separated by tabs:
//   object (1-3) TAB attribute TAB order TAB name1 TAB name2 TAB expression TAB flag
// Objects 1, 2, 3 are the queries q, q2, q3 over the tables T (ID, S, D, C) and U (K).
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

#include "platform/accessquery/AccessQuery.h"

namespace {

using korvane::DbValue;
using Kind = DbValue::Kind;

class FuzzTables : public korvane::TableSource {
public:
    korvane::Status readTable(const QString& name, korvane::TableRowSink& sink) override {
        if (name == QLatin1String("U")) {
            sink.columns({{"K", Kind::Text}});
            for (const char* k : {"a", "B", "münster", ""}) {
                DbValue v;
                v.kind = Kind::Text;
                v.text = QString::fromUtf8(k);
                sink.row({v});
            }
            return korvane::Done{};
        }
        sink.columns({{"ID", Kind::Integer},
                      {"S", Kind::Text},
                      {"D", Kind::DateTime},
                      {"C", Kind::Currency}});
        for (int i = 0; i < 6; ++i) {
            std::vector<DbValue> row(4);
            row[0].kind = Kind::Integer;
            row[0].integer = i;
            if (i % 3) {
                row[1].kind = Kind::Text;
                row[1].text = QStringLiteral("s%1").arg(i);
            }
            row[2].kind = Kind::DateTime;
            row[2].real = 40000.25 * i - 100000;
            row[3].kind = Kind::Currency;
            row[3].integer = (i - 3) * 12345;
            if (!sink.row(row)) {
                break;
            }
        }
        return korvane::Done{};
    }
};

class CheckingSink : public korvane::QueryRowSink {
public:
    int width = -1;
    int rows = 0;
    void columns(const QStringList& names) override { width = static_cast<int>(names.size()); }
    bool row(const std::vector<DbValue>& values) override {
        if (static_cast<int>(values.size()) != width) {
            std::abort();
        }
        return ++rows < 1000;
    }
};

korvane::QueryDefRow parseRow(const QString& line) {
    const QStringList f = line.split(QLatin1Char('\t'));
    const auto field = [&](int i) { return i < f.size() ? f[i] : QString(); };
    korvane::QueryDefRow row;
    row.objectId = field(0).toInt();
    row.attribute = field(1).toInt() & 0xFF;
    const uint32_t order = field(2).toUInt();
    row.order = QByteArray(4, '\0');
    for (int i = 0; i < 4; ++i) {
        row.order[3 - i] = static_cast<char>((order >> (8 * i)) & 0xFF);
    }
    row.name1 = field(3);
    row.name2 = field(4);
    row.expression = field(5);
    if (!field(6).isEmpty()) {
        row.flag = field(6).toInt();
    }
    return row;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    korvane::QueryCatalogue catalogue;
    catalogue.objects = {{10, "T", 1, 0}, {11, "U", 1, 0}, {12, "L", 6, 0},
                         {1, "q", 5, 0},  {2, "q2", 5, 0}, {3, "q3", 5, 0}};
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.isEmpty()) {
            catalogue.queryRows.push_back(parseRow(line));
        }
    }
    for (int32_t id = 1; id <= 3; ++id) {
        const korvane::Result<QString> rebuilt = korvane::rebuildAccessSql(id, catalogue.queryRows);
        if (!rebuilt && rebuilt.failure().text().isEmpty()) {
            std::abort();  // a failure always says something
        }
    }
    FuzzTables tables;
    CheckingSink sink;
    korvane::QueryRunOptions options;
    options.stepBudget = 2000000;
    const korvane::Status run = korvane::runSelectQuery("q", catalogue, tables, sink, options);
    if (!run &&
        (run.failure().text().isEmpty() || !(run.failure().is(korvane::QueryFault::CannotRun) ||
                                             run.failure().is(korvane::QueryFault::NeedsValue)))) {
        std::abort();  // a failure always says something, and names the query
    }
    return 0;
}
