#include "database/LoadDatabase.h"

#include "database/DatabaseCatalogue.h"
#include "database/DatabaseTexts.h"
#include "database/DialogConfirmMDB.h"
#include "platform/UserInteraction.h"
#include "platform/mdb/DataAccess.h"
#include "platform/mdb/DbValueText.h"
#include "shell/ListPane.h"
#include "shell/ProgramState.h"
#include "shell/QueryValues.h"
#include "shell/ShellTexts.h"
#include "shell/TreePane.h"
#include "text/Numbers.h"

namespace korvane {

namespace {

const QString kTablesKey = QStringLiteral("テーブル");
const QString kQueriesKey = QStringLiteral("選択クエリー");
constexpr int64_t kProgressEvery = 4096;

void AddGroup(TreePane& treePane, const QString& key, const QStringList& names) {
    if (names.isEmpty()) {
        return;
    }
    const int root = treePane.addRoot(key, key);
    treePane.setBold(root, true);
    for (const QString& name : names) {
        treePane.addChild(key, name);
    }
    treePane.setExpanded(treePane.find(key), true);
}

// A failure once the dialog is confirmed: the general message, then the engine's own.
void ReportFailure(const QString& path, const Failure& failure) {
    ShowMessage(textOf(DatabaseMessage::CannotHandleFile, {path}));
    ShowMessage(failure.text());
}

// Shows the rows of an open recordset; the failure that stops it, if one does. `cancelled` is
// set when the person stops it: the rows shown so far stay.
std::optional<Failure> ShowRecords(Recordset& rs, int32_t recordLimit, ListPane& listPane,
                                   bool& cancelled) {
    if (rs.Eof()) {
        return std::nullopt;  // an empty result shows no columns at all
    }
    rs.MoveFirst();
    const Fields& fields = rs.fields();
    const int columnCount = fields.Count();
    listPane.clearColumnHeaders();
    listPane.addColumnHeader(QStringLiteral("rec"));
    for (int i = 0; i < columnCount; ++i) {
        listPane.addColumnHeader(fields.Item(i)->Name());
    }

    // The counter is 64 bits wide: tables of millions of rows are shown whole.
    const std::optional<uint64_t> expected = rs.expectedRows();
    std::optional<Failure> failure;
    int64_t counter = 0;
    while (!rs.Eof()) {
        ++counter;
        if (recordLimit > 0 && counter > recordLimit) {
            break;
        }
        listPane.addListItem(NumberText(counter));
        for (int i = 0; i < columnCount; ++i) {
            listPane.addListSubItem(DbValueText(fields.Item(i)->Value()));
        }
        if (!rs.MoveNext()) {
            failure = *rs.failure();
            break;
        }
        if (counter % kProgressEvery == 0) {
            // A query's result has no known count: a busy bar.
            double share = -1;
            if (expected && *expected > 0) {
                const double total =
                    recordLimit > 0 ? std::min<double>(recordLimit, static_cast<double>(*expected))
                                    : static_cast<double>(*expected);
                share = std::min(1.0, counter / total);
            }
            if (!userInteraction().progressUpdate(share)) {
                cancelled = true;
                break;
            }
        }
    }
    return failure;
}

}  // namespace

void LoadDatabase(const QString& path, TreePane& treePane, ListPane& listPane) {
    // The catalogue, the dialog and the rows are served by one reader session.
    const SharedDatabaseSession sharedSession;
    ProgramState& state = programState();
    if (!ReadDatabaseCatalogue(path)) {
        ShowMessage(textOf(DatabaseMessage::CannotHandleFile, {path}));
        return;
    }
    if (state.TableNames.isEmpty() && state.QueryNames.isEmpty()) {
        ShowMessage(textOf(DatabaseMessage::NoTables, {path}));
        return;
    }

    int32_t recordLimit = 0;
    QString chosenName;
    int16_t chosenType = 0;
    {
        DialogConfirmMDB dlg;
        userInteraction().runModal(dlg);
        if (dlg.retCode == 2) {
            return;
        }
        recordLimit = dlg.m_recMax;
        chosenName = dlg.m_selectName;
        chosenType = dlg.m_selectType;
    }

    AddGroup(treePane, kTablesKey, state.TableNames);
    AddGroup(treePane, kQueriesKey, state.QueryNames);

    userInteraction().setWaitCursor(true);
    bool cancelled = false;
    std::optional<Failure> failure;
    bool queryFailed = false;  // the failure, if any, is a saved query's own
    Connection cn;
    cn.ConnectionString = state.DatabaseConnectionString;
    if (!cn.Open(QString(), QString(), QString(), -1)) {
        failure = *cn.failure();
    } else {
        queryFailed = chosenType == 2;
        Recordset rs;
        if (AskQueryValues(cn, chosenName, rs.queryOptions.values)) {
            // A long read or a long query shows the progress window, after the usual delay,
            // with キャンセル; the window stays painted throughout.
            userInteraction().progressBegin(textOf(DatabaseMessage::Loading));
            rs.queryOptions.progress = [&cancelled](double share) {
                cancelled = cancelled || !userInteraction().progressUpdate(share);
                return !cancelled;
            };
            if (!rs.Open(chosenName, cn, 2, -1, -1)) {
                failure = *rs.failure();
            } else {
                failure = ShowRecords(rs, recordLimit, listPane, cancelled);
            }
            userInteraction().progressEnd();
        }  // else ｷｬﾝｾﾙ has said so; the list stays empty
        rs.Close();
        cn.Close();
    }
    listPane.refresh();
    userInteraction().setWaitCursor(false);
    if (cancelled) {
        ShowMessage(textOf(ShellMessage::Cancelled));
    } else if (failure && queryFailed) {
        ShowMessage(failure->text());  // the file is fine: the query's own message says why
    } else if (failure) {
        ReportFailure(path, *failure);
    }
}

}  // namespace korvane
