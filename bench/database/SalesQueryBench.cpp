// Each saved query of the large sales database that needs no value, shown whole by korvane-cli
// (start, catalogue, dialog, tables loaded, statement stepped, rows printed), against
// mdb-export reading the tables the query draws on, the two taking turns, as whole processes
// with their peak memory. Goal: at most 1.5 times mdb-export, plus a quarter second of start.
// Usage: sales_query_bench [RUNS]; needs the shared fixture mdb/sales_scale_jet4.mdb.
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

#include "support/BenchReport.h"

namespace {

struct SalesQuery {
    const char* name;
    QStringList tables;
};

const SalesQuery kQueries[] = {
    {"Line Amounts", {"Items", "Order Lines"}},
    {"Order Totals", {"Order Lines"}},
    {"Order Lines Full", {"Carriers", "Items", "Staff", "Customers", "Orders", "Order Lines"}},
    {"Group Sales 2024", {"Groups", "Items", "Orders", "Order Lines"}},
    {"Large Orders", {"Customers", "Orders", "Order Lines"}},
    {"Top Ten Orders", {"Order Lines"}},
    {"Items Above Average", {"Items"}},
    {"Customers Without 2025 Orders", {"Customers", "Orders"}},
    {"Seller Totals", {"Staff", "Orders", "Order Lines"}},
    {"Customers By Name", {"Customers"}},
};

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString fixtures = qEnvironmentVariable("KORVANE_FIXTURES", "/work/shared/fixtures");
    const QString database = fixtures + "/mdb/sales_scale_jet4.mdb";
    if (!QFileInfo::exists(database)) {
        std::fprintf(stderr, "%s is not here\n", qPrintable(database));
        return 1;
    }
    const QString cli = QCoreApplication::applicationDirPath() + "/korvane-cli";
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    for (const SalesQuery& query : kQueries) {
        for (int round = 0; round < rounds; ++round) {
            const korvane::bench::Measure ours = korvane::bench::runMeasured(
                {cli, "show", "--all", "--query", QString::fromUtf8(query.name), database});
            korvane::bench::Measure theirs;
            for (const QString& table : query.tables) {
                const korvane::bench::Measure one =
                    korvane::bench::runMeasured({"mdb-export", database, table});
                theirs.seconds += one.seconds;
                theirs.peakKib = std::max(theirs.peakKib, one.peakKib);
            }
            // The quarter second of start-up the goal allows, as yardstick time.
            theirs.seconds += 0.25 / 1.5;
            const QByteArray work = QByteArray("query ") + query.name;
            korvane::bench::reportLine(work.constData(), ours,
                                       "mdb-export of its tables + 0.25 s / 1.5", theirs, 1.5);
        }
    }
    return 0;
}
