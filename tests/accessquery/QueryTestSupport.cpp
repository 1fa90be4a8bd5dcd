#include "QueryTestSupport.h"

#include "platform/accessquery/AccessDates.h"
#include "text/ValueText.h"

namespace korvane::test {

using Kind = DbValue::Kind;

// Why the tables in memory give no rows, as a reader of a file would say it.
enum class MemoryTableFault { ReadFailed, NoSuchTable };

const FailureTexts& failureTexts(MemoryTableFault) {
    static const FailureTable<MemoryTableFault> table{
        {MemoryTableFault::ReadFailed, "読み取りに失敗しました"},
        {MemoryTableFault::NoSuchTable, "テーブルがありません"},
    };
    return table;
}

Status MemoryTables::readTable(const QString& name, TableRowSink& sink) {
    reads << name;
    if (name == failTable) {
        return Failure(MemoryTableFault::ReadFailed);
    }
    const auto found = tables.find(name);
    if (found == tables.end()) {
        return Failure(MemoryTableFault::NoSuchTable);
    }
    sink.columns(found->second.columns);
    for (const auto& row : found->second.rows) {
        if (!sink.row(row)) {
            break;
        }
    }
    return Done{};
}

std::unique_ptr<TableRowStream> MemoryTables::openRowStream(const QString& name) {
    class Rows : public TableRowStream {
    public:
        Rows(const MemoryTable& table, int& taken) : m_table(table), m_taken(taken) {}
        Result<bool> next(std::vector<DbValue>& row) override {
            if (m_next >= m_table.rows.size()) {
                return false;
            }
            row = m_table.rows[m_next++];
            ++m_taken;
            return true;
        }
        Status rewind() override {
            m_next = 0;
            return Done{};
        }

    private:
        const MemoryTable& m_table;
        int& m_taken;
        size_t m_next = 0;
    };
    const auto found = tables.find(name);
    if (!streams || found == tables.end()) {
        return nullptr;
    }
    return std::make_unique<Rows>(found->second, rowsStreamed);
}

QString cellText(const DbValue& v) {
    switch (v.kind) {
        case Kind::Null:
            return QStringLiteral("NULL");
        case Kind::Boolean:
            return BooleanText(v.integer != 0);
        case Kind::Integer:
            return IntegerText(v.integer);
        case Kind::Real:
            return DoubleText(v.real);
        case Kind::Currency:
            return CurrencyText(v.integer);
        case Kind::DateTime:
            return OleDateText(v.real);
        case Kind::Decimal:
        case Kind::Text:
        case Kind::Guid:
            return v.text;
        case Kind::Binary:
            return QStringLiteral("<%1 bytes>").arg(v.bytes.size());
    }
    return QString();
}

QStringList CollectingSink::rowTexts() const {
    QStringList out;
    for (const auto& row : rows) {
        QStringList cells;
        for (const DbValue& v : row) {
            cells << cellText(v);
        }
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

DbValue nullValue() {
    return DbValue();
}
DbValue integerValue(int64_t v) {
    DbValue d;
    d.kind = Kind::Integer;
    d.integer = v;
    return d;
}
DbValue realValue(double v) {
    DbValue d;
    d.kind = Kind::Real;
    d.real = v;
    return d;
}
DbValue textValue(const QString& v) {
    DbValue d;
    d.kind = Kind::Text;
    d.text = v;
    return d;
}
DbValue currencyValue(int64_t tenThousandths) {
    DbValue d;
    d.kind = Kind::Currency;
    d.integer = tenThousandths;
    return d;
}
DbValue booleanValue(bool v) {
    DbValue d;
    d.kind = Kind::Boolean;
    d.integer = v ? 1 : 0;
    return d;
}
DbValue dateValue(int y, int m, int d, int hh, int mm, int ss) {
    DbValue v;
    v.kind = Kind::DateTime;
    v.real = oleSerial({y, m, d, hh, mm, ss}).value_or(0);
    return v;
}

QueryDefRow queryRow(int32_t objectId, int attribute, int order, const QString& name1,
                     const QString& name2, const QString& expression, std::optional<int32_t> flag) {
    QueryDefRow row;
    row.objectId = objectId;
    row.attribute = attribute;
    row.name1 = name1;
    row.name2 = name2;
    row.expression = expression;
    row.flag = flag;
    row.order = QByteArray(4, '\0');
    for (int i = 0; i < 4; ++i) {
        row.order[3 - i] = static_cast<char>((order >> (8 * i)) & 0xFF);
    }
    return row;
}

void addQuery(QueryCatalogue& c, int32_t id, const QString& name, uint32_t flags,
              std::vector<QueryDefRow> rows) {
    c.objects.push_back({id, name, 5, flags});
    // Every query begins with attribute 0 and 255, as Access writes them.
    c.queryRows.push_back(queryRow(id, 0, 1, {}, {}, {}, 0));
    c.queryRows.push_back(queryRow(id, 255, 1, {}, {}, {}, std::nullopt));
    for (QueryDefRow& row : rows) {
        row.objectId = id;
        c.queryRows.push_back(row);
    }
}

QueryDefRow r(int attribute, int order, const QString& name1, const QString& name2,
              const QString& expression, std::optional<int32_t> flag) {
    return queryRow(0, attribute, order, name1, name2, expression, flag);
}

namespace {

MemoryTable customers() {
    MemoryTable t;
    t.columns = {{"ID", Kind::Integer},      {"Name", Kind::Text},        {"City", Kind::Text},
                 {"Joined", Kind::DateTime}, {"Balance", Kind::Currency}, {"Active", Kind::Boolean},
                 {"Notes", Kind::Text}};
    const auto row = [](int id, DbValue name, DbValue city, DbValue joined, int64_t balance,
                        bool active, DbValue notes) {
        return std::vector<DbValue>{
            integerValue(id),     name, city, joined, currencyValue(balance),
            booleanValue(active), notes};
    };
    t.rows = {
        row(1, textValue("Alice"), textValue("東京"), dateValue(2001, 4, 1), 12345000, true,
            textValue("a,b")),
        row(2, nullValue(), textValue("大阪"), dateValue(2002, 2, 28, 13, 45, 30), -2507500, false,
            textValue("line1\r\nline2")),
        row(3, textValue(""), textValue("Tokyo"), dateValue(1999, 12, 31), 0, true,
            textValue("lf1\nlf2")),
        row(4, textValue("山田太郎"), textValue("東京"), dateValue(2010, 10, 10), 10000000000, true,
            textValue("say \"hi\"")),
        row(5, textValue("Bob"), textValue("大阪"), dateValue(2020, 2, 29), 999900, false,
            nullValue()),
        row(6, textValue("Carol"), textValue("Nagoya"), dateValue(2005, 6, 15, 8, 30, 0), 1, true,
            textValue(QString("0123456789").repeated(500))),
        row(7, textValue("Dave"), nullValue(), dateValue(1980, 1, 1), -100, false,
            textValue("  padded  ")),
        row(8, textValue("Eve"), textValue("東京"), dateValue(2023, 12, 31, 23, 59, 59), 420000,
            true, textValue("tab\there")),
    };
    return t;
}

MemoryTable orderDetails() {
    MemoryTable t;
    t.columns = {{"OrderID", Kind::Integer}, {"CustomerID", Kind::Integer}, {"Amount", Kind::Real}};
    const double amounts[] = {250, 75.5, 1200.25, 10, 33.3};
    const int customers[] = {1, 1, 2, 4, 9};
    for (int i = 0; i < 5; ++i) {
        t.rows.push_back(
            {integerValue(1001 + i), integerValue(customers[i]), realValue(amounts[i])});
    }
    return t;
}

MemoryTable big() {
    MemoryTable t;
    t.columns = {{"ID", Kind::Integer}, {"Label", Kind::Text}, {"Value", Kind::Real}};
    t.rows.reserve(40000);
    for (int n = 1; n <= 40000; ++n) {
        t.rows.push_back(
            {integerValue(n), textValue(QStringLiteral("row-%1").arg(n)), realValue(n * 0.5)});
    }
    return t;
}

MemoryTable twoRows(const QString& column, const QString& first, const QString& second) {
    MemoryTable t;
    t.columns = {{"ID", Kind::Integer}, {column, Kind::Text}};
    t.rows = {{integerValue(1), textValue(first)}, {integerValue(2), textValue(second)}};
    return t;
}

}  // namespace

void addSelectQuery(QueryCatalogue& catalogue, int32_t id, const QString& name,
                    const QStringList& sources, const QStringList& columns, const QString& where,
                    int selectFlags) {
    std::vector<QueryDefRow> rows = {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, selectFlags)};
    for (int i = 0; i < sources.size(); ++i) {
        rows.push_back(r(5, i + 1, sources[i], {}, {}));
    }
    for (int i = 0; i < columns.size(); ++i) {
        rows.push_back(r(6, i + 1, {}, {}, columns[i], 0));
    }
    if (!where.isEmpty()) {
        rows.push_back(r(8, 1, {}, {}, where));
    }
    addQuery(catalogue, id, name, 0, rows);
}

DesignedDatabase designedDatabase() {
    DesignedDatabase db;
    QueryCatalogue& c = db.catalogue;
    const char* const system[] = {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"};
    for (int i = 0; i < 4; ++i) {
        c.objects.push_back({i + 1, QString::fromLatin1(system[i]), 1, 0x80000002u});
    }
    const QStringList tables = {"Customers", "Order Details", "MSysLog", "msysnotes", "MSy",
                                "Empty",     "Big",           "Odd",     "日本語"};
    for (int i = 0; i < tables.size(); ++i) {
        c.objects.push_back({20 + i, tables[i], 1, 0});
    }
    db.tables.tables["Customers"] = customers();
    db.tables.tables["Order Details"] = orderDetails();
    db.tables.tables["Big"] = big();
    db.tables.tables["MSysLog"] = twoRows("Msg", "log one", "log two");
    db.tables.tables["msysnotes"] = twoRows("Note", "note one", "note two");
    db.tables.tables["MSy"] = twoRows("Val", "msy one", "msy two");
    db.tables.tables["Empty"] = {
        {{"ID", Kind::Integer}, {"Name", Kind::Text}, {"Created", Kind::DateTime}}, {}};
    MemoryTable odd;
    odd.columns = {{"a,b", Kind::Text}, {"c", Kind::Integer}};
    odd.rows = {{textValue("x,y"), integerValue(1)}, {textValue("plain"), integerValue(2)}};
    db.tables.tables["Odd"] = odd;
    MemoryTable japanese;
    japanese.columns = {{"番号", Kind::Integer}, {"名前", Kind::Text}};
    japanese.rows = {{integerValue(1), textValue("りんご")},
                     {integerValue(2), textValue("みかん")}};
    db.tables.tables["日本語"] = japanese;

    // The MSysQueries rows of the manifest's appendix (attributes 0 and 255 added by addQuery).
    addQuery(c, 100, "qryTokyo", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 1), r(5, 1, "Customers", {}, {}),
              r(8, 1, {}, {}, "(((Customers.City)=\"東京\"))")});
    addQuery(c, 101, "qryBigSum", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "Big", {}, {}),
              r(6, 1, "N", {}, "Count(*)", 0), r(6, 2, "Total", {}, "Sum(Big.Value)", 0)});
    addQuery(c, 102, "qryJoin", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "Customers", {}, {}),
              r(5, 2, "Order Details", {}, {}), r(6, 1, {}, {}, "Customers.Name", 0),
              r(6, 2, {}, {}, "[Order Details].Amount", 0),
              r(7, 1, "Customers", "Order Details", "Customers.ID = [Order Details].CustomerID", 1),
              r(11, 1, "D", {}, "[Order Details].Amount")});
    addQuery(c, 103, "MSysQuery", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "Customers", {}, {}),
              r(6, 1, {}, {}, "Customers.Name", 0)});
    addQuery(c, 104, "qryParam", 0,
             {r(1, 1, {}, {}, {}, 1), r(2, 1, "Which city?", {}, {}, 10), r(3, 1, {}, {}, {}, 0),
              r(5, 1, "Customers", {}, {}), r(6, 1, {}, {}, "Customers.ID", 0),
              r(6, 2, {}, {}, "Customers.Name", 0),
              r(8, 1, {}, {}, "(((Customers.City)=[Which city?]))")});
    addQuery(c, 105, "qryUpdate", 48,
             {r(1, 1, {}, {}, {}, 4), r(3, 1, {}, {}, {}, 0), r(5, 1, "Customers", {}, {}),
              r(6, 1, {}, "Customers.Balance", "[Balance]+1", 0),
              r(8, 1, {}, {}, "(((Customers.ID)=1))")});
    addQuery(
        c, 106, "qryCityCount", 0,
        {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "Customers", {}, {}),
         r(6, 1, {}, {}, "Customers.City", 0), r(6, 2, "CountOfID", {}, "Count(Customers.ID)", 0),
         r(9, 1, {}, {}, "Customers.City", 0)});
    addQuery(
        c, 107, "qryLike", 0,
        {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "Customers", {}, {}),
         r(6, 1, {}, {}, "Customers.ID", 0), r(6, 2, {}, {}, "Customers.Name", 0),
         r(8, 1, {}, {}, "(((Customers.Name) Like \"*a*\"))"), r(11, 1, {}, {}, "Customers.ID")});
    addQuery(c, 108, "qryIIf", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "Customers", {}, {}),
              r(6, 1, {}, {}, "Customers.ID", 0),
              r(6, 2, "Kind", {}, "IIf([Balance]<0,\"debit\",\"credit\")", 0),
              r(6, 3, "NameOrDash", {}, "IIf(IsNull([Name]),\"-\",[Name])", 0),
              r(11, 1, {}, {}, "Customers.ID")});
    addQuery(c, 109, "qryNested", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "qryTokyo", {}, {}),
              r(6, 1, {}, {}, "qryTokyo.ID", 0), r(6, 2, {}, {}, "qryTokyo.Name", 0),
              r(11, 1, "D", {}, "qryTokyo.ID")});
    addQuery(c, 110, "qryUnion", 128,
             {r(1, 1, {}, {}, {}, 9), r(3, 1, {}, {}, {}, 1),
              r(5, 1, {}, "X7YZ_____1",
                "SELECT Customers.Name FROM Customers WHERE Customers.ID<=2\r\n"),
              r(5, 2, {}, "X7YZ_____2", "SELECT Big.Label FROM Big WHERE Big.ID<=2")});
    addQuery(c, 111, "qryDate", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "Customers", {}, {}),
              r(6, 1, {}, {}, "Customers.ID", 0), r(6, 2, {}, {}, "Customers.Joined", 0),
              r(8, 1, {}, {}, "(((Customers.Joined)>=#1/1/2005#))"),
              r(11, 1, {}, {}, "Customers.Joined")});
    addQuery(c, 112, "qryCrosstab", 16,
             {r(1, 1, {}, {}, {}, 6), r(3, 1, {}, {}, {}, 0), r(5, 1, "Order Details", {}, {}),
              r(6, 1, {}, {}, "[Order Details].CustomerID", 2),
              r(6, 2, "Size", {}, "IIf([Amount]>=100,\"big\",\"small\")", 1),
              r(6, 3, "SumOfAmount", {}, "Sum([Order Details].Amount)", 0),
              r(9, 1, {}, {}, "[Order Details].CustomerID", 2),
              r(9, 2, {}, {}, "IIf([Amount]>=100,\"big\",\"small\")", 1)});
    addQuery(c, 113, "東京の顧客", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0), r(5, 1, "Customers", {}, {}),
              r(6, 1, {}, {}, "Customers.ID", 0), r(6, 2, {}, {}, "Customers.Name", 0),
              r(8, 1, {}, {}, "(((Customers.City)=\"東京\"))")});
    return db;
}

}  // namespace korvane::test
