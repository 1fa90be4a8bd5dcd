#pragma once
// The values a parameter query asks for, asked for in turn before the query runs: by the
// window's dialog "パラメーターの入力" (wired in by the program), answered in a script by
// korvane-cli and the tests.

#include <QString>
#include <functional>
#include <vector>

#include "platform/accessquery/AccessQuery.h"

namespace korvane {

class Connection;

struct QueryValueAnswer {
    enum class Outcome {
        Typed,       // OK: `typed` holds the text as typed
        Cancelled,   // ｷｬﾝｾﾙ or the close command (the dialog has said so)
        Unanswered,  // nobody was there to answer (a script without the value)
    };
    Outcome outcome = Outcome::Unanswered;
    QString typed;
};

using QueryValueAsker = std::function<QueryValueAnswer(const QString& name)>;
void setQueryValueAsker(QueryValueAsker asker);

// Asks for every value the saved query `source` needs into `values` (nothing for a table or
// for a query that asks for nothing). False only when the person cancelled. A name nobody
// answered ends the asking: the query then fails with the message that names it. The wait
// pointer is off while a dialog is up and back on afterwards.
bool AskQueryValues(Connection& cn, const QString& source, std::vector<QueryValue>& values);

}  // namespace korvane
