#include <gtest/gtest.h>

#include "platform/mdb/TableSchema.h"

namespace korvane {
namespace {

QueryDefRow parameterRow(int32_t objectId) {
    QueryDefRow row;
    row.objectId = objectId;
    row.attribute = 2;
    row.name1 = QStringLiteral("Which city?");
    return row;
}

TEST(TableSchema, ObjectsAreClassifiedByTypeAndFlags) {
    struct Case {
        CatalogueObject object;
        QString type;  // empty: not listed
    };
    const Case cases[] = {
        {{1, "Customers", 1, 0}, "TABLE"},
        // The name alone does not make a system table: the flags do.
        {{2, "MSysLog", 1, 0}, "TABLE"},
        {{3, "MSysObjects", 1, 0x80000000u}, "SYSTEM TABLE"},
        {{4, "f_B2444F72_Data", 1, 0x80080000u}, "SYSTEM TABLE"},
        {{5, "MSysAccessObjects", 1, 0x2u}, "ACCESS TABLE"},
        {{6, "linked", 6, 0x200000u}, "LINK"},
        {{7, "qrySelect", 5, 0}, "VIEW"},
        {{8, "MSysQuery", 5, 0}, "VIEW"},
        {{9, "qryParam", 5, 0}, ""},
        {{10, "qryCrosstab", 5, 16}, ""},
        {{11, "qryUpdate", 5, 48}, ""},
        {{12, "qryUnion", 5, 128}, ""},
        {{13, "qryPassThrough", 5, 112}, ""},
        {{14, "~sq_cForm1~sq_cList", 5, 0}, ""},
        {{15, "Form1", -32768, 0}, ""},
        // Access's own objects keep their top bit: a report cut to seven bits would be an ODBC
        // link, a macro a kind of its own, a module nothing at all.
        {{16, "Products", -32764, 0}, ""},
        {{17, "Orders", -32766, 0}, ""},
        {{18, "Customer Orders", -32761, 0}, ""},
        {{19, "odbc", 4, 0x100000u}, "PASS-THROUGH"},
    };
    QueryCatalogue catalogue;
    catalogue.queryRows.push_back(parameterRow(9));
    for (const Case& c : cases) {
        catalogue.objects = {c.object};
        const std::vector<TableSchemaRow> rows = tableSchemaRows(catalogue);
        if (c.type.isEmpty()) {
            EXPECT_TRUE(rows.empty()) << c.object.name.toStdString();
        } else {
            ASSERT_EQ(rows.size(), 1u) << c.object.name.toStdString();
            EXPECT_EQ(rows[0].type, c.type) << c.object.name.toStdString();
            EXPECT_EQ(rows[0].name, c.object.name);
        }
    }
}

TEST(TableSchema, RowsComeByTypeThenByNameIgnoringCase) {
    QueryCatalogue catalogue;
    const char* tables[] = {"Customers", "Order Details", "MSysLog", "msysnotes", "MSy",
                            "Empty",     "Big",           "Odd",     "日本語"};
    int32_t id = 100;
    catalogue.objects.push_back({1, "MSysObjects", 1, 0x80000000u});
    catalogue.objects.push_back({2, "qryB", 5, 0});
    for (const char* name : tables) {
        catalogue.objects.push_back({id++, QString::fromUtf8(name), 1, 0});
    }
    catalogue.objects.push_back({3, "qrya", 5, 0});
    QStringList seen;
    for (const TableSchemaRow& row : tableSchemaRows(catalogue)) {
        seen << row.type + QLatin1Char(':') + row.name;
    }
    EXPECT_EQ(seen, QStringList({"SYSTEM TABLE:MSysObjects", "TABLE:Big", "TABLE:Customers",
                                 "TABLE:Empty", "TABLE:MSy", "TABLE:MSysLog", "TABLE:msysnotes",
                                 "TABLE:Odd", "TABLE:Order Details", "TABLE:日本語", "VIEW:qrya",
                                 "VIEW:qryB"}));
}

}  // namespace
}  // namespace korvane
