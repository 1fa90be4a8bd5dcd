// Query definitions from a file are untrusted: names and texts that look like SQL, functions
// that reach files, runaway nesting and work. Each gives a result or an error, never a write,
// a file access or a crash.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "QueryTestSupport.h"
#include "platform/accessquery/QuerySandbox.h"

namespace korvane::test {
namespace {

using Kind = DbValue::Kind;

DesignedDatabase oneTable(const QString& tableName, const QString& columnName) {
    DesignedDatabase db;
    db.catalogue.objects.push_back({1, tableName, 1, 0});
    MemoryTable t;
    t.columns = {{columnName, Kind::Text}};
    t.rows = {{textValue("v1")}, {textValue("v2")}};
    db.tables.tables[tableName] = t;
    return db;
}

Status runOn(DesignedDatabase& db, CollectingSink& sink,
             const QueryRunOptions& options = QueryRunOptions()) {
    return runSelectQuery("q", db.catalogue, db.tables, sink, options);
}

TEST(HostileQueries, NamesThatLookLikeSqlAreOnlyNames) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath("evil.db");
    const QString names[] = {
        QStringLiteral("x\"; DROP TABLE t1; --"),
        QStringLiteral("a' ; ATTACH DATABASE '%1' AS e; --").arg(target),
        QStringLiteral("t1"),
        QStringLiteral("sqlite_master"),
        QStringLiteral("名前 with [brackets"),
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        DesignedDatabase db = oneTable(name, name);
        // The name as a bracketed identifier; ] cannot appear inside brackets, so use the
        // table's * for the one with a bracket.
        const QString column =
            name.contains(QLatin1Char('['))
                ? QStringLiteral("*")
                : QLatin1Char('[') + name + QStringLiteral("].[") + name + QLatin1Char(']');
        addSelectQuery(db.catalogue, 2, "q", {name}, {column});
        CollectingSink sink;
        const Status run = runOn(db, sink);
        ASSERT_TRUE(run) << run.failure().text();
        EXPECT_EQ(sink.names, QStringList({name}));
        EXPECT_EQ(sink.rowTexts(), QStringList({"v1", "v2"}));
    }
    EXPECT_FALSE(QFile::exists(target));
}

TEST(HostileQueries, TextThatLooksLikeSqlIsOnlyText) {
    QTemporaryDir dir;
    const QString target = dir.filePath("evil2.db");
    const QString literal =
        QStringLiteral("'); ATTACH DATABASE '%1' AS e; CREATE TABLE e.x(a); --").arg(target);
    DesignedDatabase db = oneTable("T", "C");
    QString access = literal;
    access.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    addSelectQuery(db.catalogue, 2, "q", {"T"}, {QLatin1Char('"') + access + QLatin1Char('"')},
                   "T.C = \"v1\"");
    CollectingSink sink;
    const Status run = runOn(db, sink);
    ASSERT_TRUE(run) << run.failure().text();
    EXPECT_EQ(sink.rowTexts(), QStringList({literal}));
    EXPECT_FALSE(QFile::exists(target));
}

TEST(HostileQueries, FunctionsOutsideAccessAreUnknown) {
    const char* const calls[] = {
        "load_extension(\"/tmp/x\")",
        "readfile(\"/etc/passwd\")",
        "writefile(\"/tmp/x\", 1)",
        "sqlite_version()",
        "randomblob(10)",
        "zeroblob(1000000000)",
        "printf(\"%s\", 1)",
        "fts3_tokenizer(\"x\")",
        "ak_text(1)",
    };
    for (const char* call : calls) {
        SCOPED_TRACE(call);
        DesignedDatabase db = oneTable("T", "C");
        addSelectQuery(db.catalogue, 2, "q", {"T"}, {QString::fromUtf8(call)});
        CollectingSink sink;
        const Status run = runOn(db, sink);
        ASSERT_FALSE(run);
        EXPECT_TRUE(run.failure().text().contains(QStringLiteral("関数"))) << run.failure().text();
    }
}

TEST(HostileQueries, RunawayNestingAndSizesAreBounded) {
    const QString deepParens =
        QString(20000, QLatin1Char('(')) + "1" + QString(20000, QLatin1Char(')'));
    QString deepNot;
    for (int i = 0; i < 20000; ++i) {
        deepNot += QStringLiteral("Not ");
    }
    deepNot += QStringLiteral("1");
    const QString deepMinus = QString(20000, QLatin1Char('-')) + "1";
    QString deepCalls;
    for (int i = 0; i < 5000; ++i) {
        deepCalls += QStringLiteral("Abs(");
    }
    deepCalls += QStringLiteral("1") + QString(5000, QLatin1Char(')'));
    QString wide = QStringLiteral("1");
    for (int i = 0; i < 10000; ++i) {
        wide += QStringLiteral(" + 1");
    }
    const struct {
        const char* name;
        QString expression;
    } cases[] = {
        {"parentheses", deepParens},
        {"Not", deepNot},
        {"signs", deepMinus},
        {"calls", deepCalls},
        {"long expression", QString(70000, QLatin1Char('1'))},
        {"long sum", wide},
        {"huge Space", QStringLiteral("Space(2000000000)")},
        {"growing Replace", QStringLiteral("Replace(Space(10000000), \" \", \"xxxxxxxxxx\")")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DesignedDatabase db = oneTable("T", "C");
        addSelectQuery(db.catalogue, 2, "q", {"T"}, {c.expression});
        CollectingSink sink;
        // Either answer is fine as long as it is an answer; most of these must be errors.
        const Status run = runOn(db, sink);
        if (run) {
            EXPECT_EQ(sink.rows.size(), 2u);
        }
    }
}

TEST(HostileQueries, QueriesThatReadThemselvesFail) {
    DesignedDatabase db = oneTable("T", "C");
    addQuery(db.catalogue, 2, "q", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 1), r(5, 1, "q2", {}, {})});
    addQuery(db.catalogue, 3, "q2", 0,
             {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 1), r(5, 1, "Q", {}, {})});
    CollectingSink sink;
    const Status run = runOn(db, sink);
    ASSERT_FALSE(run);
    EXPECT_TRUE(run.failure().text().contains(QStringLiteral("自分自身"))) << run.failure().text();
}

TEST(HostileQueries, LongChainsOfQueriesFail) {
    DesignedDatabase db = oneTable("T", "C");
    for (int i = 0; i < 40; ++i) {
        const QString source = i == 39 ? QStringLiteral("T") : QStringLiteral("q%1").arg(i + 1);
        addQuery(db.catalogue, 10 + i, i == 0 ? QStringLiteral("q") : QStringLiteral("q%1").arg(i),
                 0, {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 1), r(5, 1, source, {}, {})});
    }
    CollectingSink sink;
    const Status run = runOn(db, sink);
    ASSERT_FALSE(run);
    EXPECT_TRUE(run.failure().text().contains(QStringLiteral("入れ子が深すぎます")))
        << run.failure().text();
}

TEST(HostileQueries, TooManySourcesOrColumnsFail) {
    DesignedDatabase many = oneTable("T", "C");
    std::vector<QueryDefRow> rows = {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 1)};
    for (int i = 0; i < 40; ++i) {
        rows.push_back(r(5, i + 1, "T", QStringLiteral("a%1").arg(i), {}));
    }
    addQuery(many.catalogue, 2, "q", 0, rows);
    CollectingSink sink;
    ASSERT_FALSE(runOn(many, sink));

    DesignedDatabase wide = oneTable("T", "C");
    QStringList columns;
    for (int i = 0; i < 3000; ++i) {
        columns << QStringLiteral("T.C");
    }
    addSelectQuery(wide.catalogue, 2, "q", {"T"}, columns);
    CollectingSink wideSink;
    const Status run = runOn(wide, wideSink);
    ASSERT_FALSE(run);
    EXPECT_TRUE(run.failure().text().contains(QStringLiteral("多すぎます")))
        << run.failure().text();
}

TEST(HostileQueries, RunawayWorkEndsWithAnError) {
    DesignedDatabase db;
    db.catalogue.objects.push_back({1, "Big", 1, 0});
    MemoryTable big;
    big.columns = {{"N", Kind::Integer}};
    for (int i = 0; i < 200; ++i) {
        big.rows.push_back({integerValue(i)});
    }
    db.tables.tables["Big"] = big;
    std::vector<QueryDefRow> rows = {r(1, 1, {}, {}, {}, 1), r(3, 1, {}, {}, {}, 0),
                                     r(6, 1, "N", {}, "Count(*)", 0)};
    for (int i = 0; i < 5; ++i) {
        rows.push_back(r(5, i + 1, "Big", QStringLiteral("b%1").arg(i), {}));
    }
    addQuery(db.catalogue, 2, "q", 0, rows);
    CollectingSink sink;
    QueryRunOptions options;
    options.stepBudget = 2000000;
    const Status run = runOn(db, sink, options);
    ASSERT_FALSE(run);
    EXPECT_TRUE(run.failure().text().contains(QStringLiteral("処理量が上限を超えました")))
        << run.failure().text();
    // The table was described once and loaded once although the query names it five times.
    EXPECT_EQ(db.tables.reads, QStringList({"Big", "Big"}));
}

TEST(HostileQueries, LockedSandboxRefusesEverythingButReading) {
    QuerySandbox sandbox;
    const Status opened = sandbox.open();
    ASSERT_TRUE(opened) << opened.failure().text();
    MemoryTables tables;
    tables.tables["T"] = {{{"C", Kind::Text}}, {{textValue("v")}}};
    Result<LoadedTable> described = sandbox.describeTable(tables, "T");
    ASSERT_TRUE(described) << described.failure().text();
    described->columns.front().used = true;
    const Status loaded = sandbox.loadTable(tables, described.value());
    ASSERT_TRUE(loaded) << loaded.failure().text();
    sandbox.lockDown();
    QTemporaryDir dir;
    const QString file = dir.filePath("attached.db");
    const QString refused[] = {
        QStringLiteral("CREATE TABLE x (a)"),
        QStringLiteral("INSERT INTO t1 VALUES ('w')"),
        QStringLiteral("UPDATE t1 SET c1 = 'w'"),
        QStringLiteral("DELETE FROM t1"),
        QStringLiteral("DROP TABLE t1"),
        QStringLiteral("ATTACH DATABASE '%1' AS a").arg(file),
        QStringLiteral("PRAGMA writable_schema = 1"),
        QStringLiteral("SELECT load_extension('x')"),
        QStringLiteral("SELECT * FROM sqlite_master"),
        QStringLiteral("SELECT sqlite_version()"),
        QStringLiteral("VACUUM INTO '%1'").arg(file),
        QStringLiteral("BEGIN"),
    };
    for (const QString& sql : refused) {
        SCOPED_TRACE(sql.toStdString());
        sqlite3_stmt* stmt = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_prepare_v2(sandbox.handle(), utf8.constData(), -1, &stmt, nullptr);
        int stepped = SQLITE_ERROR;
        if (rc == SQLITE_OK && stmt) {
            stepped = sqlite3_step(stmt);
        }
        sqlite3_finalize(stmt);
        EXPECT_TRUE(rc != SQLITE_OK || (stepped != SQLITE_DONE && stepped != SQLITE_ROW));
    }
    EXPECT_FALSE(QFile::exists(file));
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(sandbox.handle(), "SELECT c1 FROM t1", -1, &stmt, nullptr),
              SQLITE_OK);
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    sqlite3_finalize(stmt);
}

TEST(HostileQueries, ReaderThatMisbehavesGivesAnError) {
    // A reader that sends rows of the wrong width or no column list at all.
    class BadReader : public TableSource {
    public:
        int mode = 0;
        Status readTable(const QString&, TableRowSink& sink) override {
            if (mode == 0) {
                sink.columns({{"A", Kind::Integer}});
                sink.row({integerValue(1), integerValue(2)});
            } else if (mode == 1) {
                sink.row({integerValue(1)});
            } else if (mode == 2) {
                sink.columns({});
            } else {
                sink.columns({{"A", Kind::Integer}});
                sink.columns({{"A", Kind::Integer}});
            }
            return Done{};
        }
    };
    // What each mode is caught as.
    const QueryFault causes[] = {QueryFault::RowValueCount, QueryFault::NoColumnList,
                                 QueryFault::TableColumnCount, QueryFault::ColumnListTwice};
    for (int mode = 0; mode < 4; ++mode) {
        SCOPED_TRACE(mode);
        QueryCatalogue catalogue;
        catalogue.objects.push_back({1, "T", 1, 0});
        addSelectQuery(catalogue, 2, "q", {"T"}, {"1"});
        BadReader reader;
        reader.mode = mode;
        CollectingSink sink;
        const Status run = runSelectQuery("q", catalogue, reader, sink);
        ASSERT_FALSE(run);
        const Failure& failure = run.failure();
        EXPECT_TRUE(failure.is(QueryFault::CannotRun)) << failure.text();
        EXPECT_TRUE(failure.stemsFrom(QueryFault::TableUnreadable)) << failure.text();
        EXPECT_TRUE(failure.stemsFrom(causes[mode])) << failure.text();
        EXPECT_TRUE(failure.text().contains(QStringLiteral("テーブル T を読めません")))
            << failure.text();
    }
}

}  // namespace
}  // namespace korvane::test
