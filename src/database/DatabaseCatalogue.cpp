#include "database/DatabaseCatalogue.h"

#include <QStringList>

#include "platform/mdb/DataAccess.h"
#include "shell/ProgramState.h"

namespace korvane {

namespace {

// The text of a field, or nothing when it is Null or not text: a Null type matches no kind.
QString FieldText(const Fields& fields, const QString& name) {
    const Field* field = fields.Item(name);
    if (field == nullptr || field->Value().kind != DbValue::Kind::Text) {
        return QString();
    }
    return field->Value().text;
}

}  // namespace

QString Jet351ConnectionString(const QString& path) {
    return QStringLiteral(
               "Provider=Microsoft.Jet.OLEDB.3.51;Persist Security Info=False;Data "
               "Source=") +
           path;
}

QString Jet40ConnectionString(const QString& path) {
    return QStringLiteral(
               "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data "
               "Source=") +
           path;
}

bool ReadDatabaseCatalogue(const QString& path) {
    ProgramState& state = programState();
    Connection cn;
    state.DatabaseConnectionString = Jet351ConnectionString(path);
    if (!cn.Open(state.DatabaseConnectionString, QString(), QString(), -1)) {
        state.DatabaseConnectionString = Jet40ConnectionString(path);
        if (!cn.Open(state.DatabaseConnectionString, QString(), QString(), -1)) {
            return false;
        }
    }

    // The names are gathered first and replace the collections only once the whole schema has
    // been read, so a schema that fails half-way leaves the previous names in place.
    std::unique_ptr<Recordset> rs = cn.OpenSchema(kSchemaTables);
    if (!rs) {
        return false;
    }
    QStringList tables;
    QStringList queries;
    while (!rs->Eof()) {
        const QString type = FieldText(rs->fields(), QStringLiteral("TABLE_TYPE"));
        const QString name = FieldText(rs->fields(), QStringLiteral("TABLE_NAME"));
        if (type == QLatin1String("TABLE")) {
            // Case-sensitive: "msysnotes" is a user's table.
            if (name.left(4) != QLatin1String("MSys")) {
                tables.append(name);
            }
        } else if (type == QLatin1String("VIEW")) {
            queries.append(name);
        }
        if (!rs->MoveNext()) {
            return false;
        }
    }
    rs->Close();
    cn.Close();

    state.TableNames = tables;
    state.QueryNames = queries;
    return true;
}

}  // namespace korvane
