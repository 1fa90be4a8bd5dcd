#include "shell/QueryValues.h"

#include "platform/UserInteraction.h"
#include "platform/mdb/DataAccess.h"

namespace korvane {

namespace {

QueryValueAsker& asker() {
    static QueryValueAsker current;
    return current;
}

}  // namespace

void setQueryValueAsker(QueryValueAsker ask) {
    asker() = std::move(ask);
}

bool AskQueryValues(Connection& cn, const QString& source, std::vector<QueryValue>& values) {
    // A query that cannot be translated asks for nothing here: opening it says why.
    const Result<QStringList> names = cn.QueryParameters(source);
    if (!names || names->isEmpty() || !asker()) {
        return true;
    }
    userInteraction().setWaitCursor(false);
    bool cancelled = false;
    for (const QString& name : names.value()) {
        const QueryValueAnswer answer = asker()(name);
        if (answer.outcome != QueryValueAnswer::Outcome::Typed) {
            cancelled = answer.outcome == QueryValueAnswer::Outcome::Cancelled;
            break;
        }
        values.push_back({name, answer.typed});
    }
    userInteraction().setWaitCursor(true);
    return !cancelled;
}

}  // namespace korvane
