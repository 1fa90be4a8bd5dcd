// korvane-cli sql: a saved query's Access SQL as Access shows it in SQL view, rebuilt from its
// rows in MSysQueries, for reading (it is never run here). The statement is printed as it
// stands, its lines ended by LF; an unknown name gets the message of an unknown object.
#include <QFileInfo>
#include <cstdio>

#include "cli/CliOutput.h"
#include "cli/Commands.h"
#include "database/DatabaseCatalogue.h"
#include "database/DatabaseTexts.h"
#include "platform/mdb/DataAccess.h"
#include "shell/ShellTexts.h"

namespace korvane::cli {

int runSql(const QStringList& args) {
    if (args.size() != 2 || args.first().startsWith(QLatin1String("--"))) {
        return usageError(QStringLiteral("sql needs DB.mdb and QUERY"));
    }
    const QString& path = args[0];
    if (!QFileInfo(path).isFile()) {
        printRecord({QStringLiteral("message"), textOf(ShellMessage::NoSuchFile, {path})});
        return kExitFailed;
    }
    Connection cn;
    if (!cn.Open(Jet40ConnectionString(path))) {
        printRecord({QStringLiteral("message"), textOf(DatabaseMessage::CannotHandleFile, {path})});
        return kExitFailed;
    }
    const Result<QString> sql = cn.QuerySql(args[1]);
    if (!sql) {
        printRecord({QStringLiteral("message"), sql.failure().text()});
        return kExitUsage;
    }
    QString text = sql.value();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray utf8 = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
    return kExitOk;
}

}  // namespace korvane::cli
