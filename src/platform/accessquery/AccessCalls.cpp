#include "platform/accessquery/AccessCalls.h"

#include <QHash>

#include "platform/accessquery/QueryFault.h"

namespace korvane {

using Kind = DbValue::Kind;

namespace {

// How a function's result kind follows from its arguments.
enum class ResultKind { Fixed, SameAsFirst, Aggregate };

struct CallInfo {
    const char* sqlName;  // an ak_ function of ours, or a SQLite built-in
    int minArgs;
    int maxArgs;
    ResultKind result;
    Kind kind;       // for Fixed
    bool passKind;   // the first argument's kind code follows it (for text conversion)
    bool aggregate;  // an aggregate function
};

const QHash<QString, CallInfo>& callTable() {
    static const QHash<QString, CallInfo> table = {
        // Aggregates
        {QStringLiteral("count"), {"count", 1, 1, ResultKind::Fixed, Kind::Integer, false, true}},
        {QStringLiteral("sum"), {"sum", 1, 1, ResultKind::Aggregate, Kind::Null, false, true}},
        {QStringLiteral("avg"), {"avg", 1, 1, ResultKind::Aggregate, Kind::Real, false, true}},
        {QStringLiteral("min"), {"min", 1, 1, ResultKind::SameAsFirst, Kind::Null, false, true}},
        {QStringLiteral("max"), {"max", 1, 1, ResultKind::SameAsFirst, Kind::Null, false, true}},
        {QStringLiteral("first"),
         {"ak_first", 1, 1, ResultKind::SameAsFirst, Kind::Null, false, true}},
        {QStringLiteral("last"),
         {"ak_last", 1, 1, ResultKind::SameAsFirst, Kind::Null, false, true}},
        {QStringLiteral("stdev"), {"ak_stdev", 1, 1, ResultKind::Fixed, Kind::Real, false, true}},
        {QStringLiteral("stdevp"), {"ak_stdevp", 1, 1, ResultKind::Fixed, Kind::Real, false, true}},
        {QStringLiteral("var"), {"ak_var", 1, 1, ResultKind::Fixed, Kind::Real, false, true}},
        {QStringLiteral("varp"), {"ak_varp", 1, 1, ResultKind::Fixed, Kind::Real, false, true}},
        // Text
        {QStringLiteral("left"), {"ak_left", 2, 2, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("right"), {"ak_right", 2, 2, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("mid"), {"ak_mid", 2, 3, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("len"), {"ak_len", 1, 1, ResultKind::Fixed, Kind::Integer, true, false}},
        {QStringLiteral("ucase"), {"ak_ucase", 1, 1, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("lcase"), {"ak_lcase", 1, 1, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("trim"), {"ak_trim", 1, 1, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("ltrim"), {"ak_ltrim", 1, 1, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("rtrim"), {"ak_rtrim", 1, 1, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("cstr"), {"ak_cstr", 1, 1, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("format"), {"ak_format", 1, 2, ResultKind::Fixed, Kind::Text, true, false}},
        {QStringLiteral("instr"),
         {"ak_instr", 2, 4, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("replace"),
         {"ak_replace", 3, 3, ResultKind::Fixed, Kind::Text, false, false}},
        {QStringLiteral("space"), {"ak_space", 1, 1, ResultKind::Fixed, Kind::Text, false, false}},
        // Dates
        {QStringLiteral("year"), {"ak_year", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("month"),
         {"ak_month", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("day"), {"ak_day", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("hour"), {"ak_hour", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("minute"),
         {"ak_minute", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("second"),
         {"ak_second", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("weekday"),
         {"ak_weekday", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("date"),
         {"ak_today", 0, 0, ResultKind::Fixed, Kind::DateTime, false, false}},
        {QStringLiteral("now"), {"ak_now", 0, 0, ResultKind::Fixed, Kind::DateTime, false, false}},
        {QStringLiteral("time"),
         {"ak_timenow", 0, 0, ResultKind::Fixed, Kind::DateTime, false, false}},
        {QStringLiteral("dateserial"),
         {"ak_dateserial", 3, 3, ResultKind::Fixed, Kind::DateTime, false, false}},
        {QStringLiteral("timeserial"),
         {"ak_timeserial", 3, 3, ResultKind::Fixed, Kind::DateTime, false, false}},
        {QStringLiteral("dateadd"),
         {"ak_dateadd", 3, 3, ResultKind::Fixed, Kind::DateTime, false, false}},
        {QStringLiteral("datediff"),
         {"ak_datediff", 3, 3, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("cdate"),
         {"ak_cdate", 1, 1, ResultKind::Fixed, Kind::DateTime, false, false}},
        // Numbers
        {QStringLiteral("cint"), {"ak_cint", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("clng"), {"ak_clng", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("cdbl"), {"ak_cdbl", 1, 1, ResultKind::Fixed, Kind::Real, false, false}},
        {QStringLiteral("ccur"),
         {"ak_ccur", 1, 1, ResultKind::Fixed, Kind::Currency, false, false}},
        {QStringLiteral("cbool"),
         {"ak_cbool", 1, 1, ResultKind::Fixed, Kind::Boolean, false, false}},
        {QStringLiteral("int"),
         {"ak_int", 1, 1, ResultKind::SameAsFirst, Kind::Null, false, false}},
        {QStringLiteral("fix"),
         {"ak_fix", 1, 1, ResultKind::SameAsFirst, Kind::Null, false, false}},
        {QStringLiteral("abs"),
         {"ak_abs", 1, 1, ResultKind::SameAsFirst, Kind::Null, false, false}},
        {QStringLiteral("round"),
         {"ak_round", 1, 2, ResultKind::SameAsFirst, Kind::Null, false, false}},
        {QStringLiteral("sgn"), {"ak_sgn", 1, 1, ResultKind::Fixed, Kind::Integer, false, false}},
        {QStringLiteral("sqr"), {"ak_sqr", 1, 1, ResultKind::Fixed, Kind::Real, false, false}},
        {QStringLiteral("val"), {"ak_val", 1, 1, ResultKind::Fixed, Kind::Real, true, false}},
    };
    return table;
}

bool numericKind(Kind k) {
    return k == Kind::Integer || k == Kind::Real || k == Kind::Currency || k == Kind::Boolean ||
           k == Kind::Decimal;
}

}  // namespace

Result<SqlPiece> translateCall(const QString& name, const std::vector<SqlPiece>& args) {
    SqlPiece out;
    const QString key = name.toLower();
    bool aggregate = false;
    for (const SqlPiece& arg : args) {
        aggregate = aggregate || arg.aggregate;
    }
    const auto argCountError = [&] {
        return Failure(QueryFault::WrongArgumentCount, {name, QString::number(args.size())});
    };
    // Functions whose arguments are not all evaluated are written out as SQL.
    if (key == QLatin1String("iif")) {
        if (args.size() != 3) {
            return argCountError();
        }
        out = {QStringLiteral("(CASE WHEN (%1) THEN (%2) ELSE (%3) END)")
                   .arg(args[0].sql, args[1].sql, args[2].sql),
               args[1].kind == args[2].kind || args[2].kind == Kind::Null ? args[1].kind
               : args[1].kind == Kind::Null                               ? args[2].kind
                                                                          : Kind::Null,
               aggregate};
        return out;
    }
    if (key == QLatin1String("nz")) {
        if (args.empty() || args.size() > 2) {
            return argCountError();
        }
        // Without a second argument a Null becomes a zero-length text in a query.
        const SqlPiece fallback =
            args.size() == 2 ? args[1] : SqlPiece{QStringLiteral("''"), Kind::Text};
        out = {QStringLiteral("coalesce(%1, %2)").arg(args[0].sql, fallback.sql),
               args[0].kind == fallback.kind ? args[0].kind : Kind::Null, aggregate};
        return out;
    }
    if (key == QLatin1String("isnull")) {
        if (args.size() != 1) {
            return argCountError();
        }
        out = {QStringLiteral("(-((%1) IS NULL))").arg(args[0].sql), Kind::Boolean, aggregate};
        return out;
    }
    const auto found = callTable().constFind(key);
    if (found == callTable().constEnd()) {
        return Failure(QueryFault::UnknownFunction, {name});
    }
    const CallInfo& info = *found;
    if (static_cast<int>(args.size()) < info.minArgs ||
        static_cast<int>(args.size()) > info.maxArgs) {
        return argCountError();
    }
    if (info.aggregate && aggregate) {
        return Failure(QueryFault::AggregateInAggregate, {name});
    }
    QStringList sqlArgs;
    for (size_t i = 0; i < args.size(); ++i) {
        QString arg = args[i].sql;
        if ((key == QLatin1String("min") || key == QLatin1String("max")) &&
            args[i].kind == Kind::Text) {
            arg = QStringLiteral("(%1) COLLATE %2").arg(arg, QLatin1String(kTextCollation));
        }
        sqlArgs << arg;
        if (i == 0 && info.passKind) {
            sqlArgs << QString::number(kindCode(args[0].kind));
        }
    }
    out.sql = QLatin1String(info.sqlName) + QLatin1Char('(') + sqlArgs.join(QStringLiteral(", ")) +
              QLatin1Char(')');
    out.aggregate = aggregate || info.aggregate;
    const Kind first = args.empty() ? Kind::Null : args[0].kind;
    switch (info.result) {
        case ResultKind::Fixed:
            out.kind = info.kind;
            break;
        case ResultKind::SameAsFirst:
            out.kind = first;
            if ((key == QLatin1String("int") || key == QLatin1String("fix") ||
                 key == QLatin1String("abs") || key == QLatin1String("round")) &&
                !numericKind(first) && first != Kind::DateTime) {
                out.kind = Kind::Null;
            }
            break;
        case ResultKind::Aggregate:
            // Sum and Avg keep currency exact; sums of integers stay integers.
            out.kind = first == Kind::Currency                              ? Kind::Currency
                       : info.kind == Kind::Real                            ? Kind::Real
                       : (first == Kind::Integer || first == Kind::Boolean) ? Kind::Integer
                       : first == Kind::Real                                ? Kind::Real
                                                                            : Kind::Null;
            break;
    }
    return out;
}

}  // namespace korvane
