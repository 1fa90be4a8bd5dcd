#pragma once
// Why the query engine could not rebuild, translate or run a saved query. The words of each
// cause are in QueryFault.cpp; the details named beside a cause fill its text in that order,
// and "+ inner" marks a cause that adds to the failure it stands on.

#include "platform/Failure.h"

namespace korvane {

enum class QueryFault {
    // Running a query
    CannotRun,          // query name + inner: the one message a person sees
    NoSuchQuery,        //
    NeedsValue,         // query name, the value as written
    TableUnreadable,    // table name + inner
    NoColumnList,       // the reader gave no columns
    TextValueTooLarge,  // a value to bind
    WorkLimitExceeded,  //
    LoadStopped,        // the caller's progress said stop

    // The sandbox and SQLite
    SandboxNotCreated,
    FunctionNotRegistered,  // function name
    ColumnListTwice,
    ColumnCountChanged,
    RowBeforeColumns,
    RowValueCount,     // values, columns
    TableColumnCount,  // columns
    SqliteIntegerOverflow,
    SqliteTooBig,
    SqliteOutOfMemory,
    SqliteInterrupted,
    SqliteNotAuthorized,
    SqliteTooManyColumns,
    SqliteTooComplex,
    SqliteLikeTooComplex,
    SqliteError,  // extended result code

    // The rows of MSysQueries
    TypeRowTwice,
    FlagsRowTwice,
    RemoteRowTwice,
    WhereRowTwice,
    HavingRowTwice,
    UnknownJoinKind,     // kind
    JoinTableNotInFrom,  // table
    ConflictingJoins,    // left, right
    NotSelectType,       // query type, when the SQL is rebuilt

    // Reading an expression
    ExpressionTooLong,  // length
    UnclosedText,
    UnclosedBracket,
    UnclosedDate,
    UnreadableDate,     // text between the #
    UnreadableNumber,   // text
    UnusableCharacter,  // character
    ExtraWord,          // token
    MissingSymbol,      // symbol
    NestedTooDeep,
    NoSubqueryAfter,  // Any, Some or All
    NoNullAfterIs,
    NoAndAfterBetween,
    UnclosedSubquery,
    UnexpectedSymbol,  // symbol
    ExpressionCutShort,
    SelectWithoutParentheses,
    NoNameAfter,           // name so far, separator
    NameOfFourParts,       // name
    UnknownFunction,       // function
    WrongArgumentCount,    // function, count
    AggregateInAggregate,  // function

    // Reading a subquery or derived table
    SubqueryNotSelect,
    SubqueryExtraWord,  // token
    UnionInSubquery,
    ExpectedWord,        // keyword, token found
    ExpectedWordAtEnd,   // keyword
    ExpectedExpression,  // token found
    ExpectedExpressionAtEnd,
    ExpectedTopValue,  // token found
    ExpectedTopValueAtEnd,
    ExpectedAlias,  // token found
    ExpectedAliasAtEnd,
    ExpectedTableName,  // token found
    ExpectedTableNameAtEnd,

    // Translating a query
    MakeTableQuery,
    AppendQuery,
    UpdateQuery,
    DeleteQuery,
    CrosstabQuery,
    DataDefinitionQuery,
    PassThroughQuery,
    UnionQuery,
    UnknownQueryType,  // type
    SelfReference,     // query name
    InQuery,           // query name + inner
    QueriesNestedTooDeep,
    ExternalDatabase,
    ExternalTable,  // table name
    NoSuchSource,   // name
    LinkedTable,    // name
    NoFromClause,
    TooManySources,       // count
    SourceNameTwice,      // name
    InSubquery,           // + inner
    SubqueryColumnCount,  // count
    ValueNeeded,          // the value as written
    AmbiguousName,        // name
    TooManyAliasUses,
    CircularAlias,    // alias
    InJoinCondition,  // + inner
    AggregateInJoin,
    InColumn,             // expression + inner
    StarOfUnknownSource,  // source
    NoOutputColumns,
    TooManyOutputColumns,  // count
    StarInAggregate,
    InClause,              // clause + inner
    AggregateInClause,     // clause
    DistinctRowOverQuery,  // source
    UnusableTop,           // value

    // The Access functions, while a statement steps
    ValueSubqueryManyRows,
    TypeMismatch,  // function
    BadArgument,   // function, argument
    NullToVal,
    NullToReplace,
    ReplaceTooLong,
    ConcatTooLong,
    UnusableLikePattern,  // pattern
    DateOutOfRange,       // function
    DateAddUnitNull,
    DateAddUnit,  // unit
    DateDiffUnitNull,
    DateDiffUnit,  // unit
    CDateOutOfRange,
    DivisionByZero,
    Overflow,
    OverflowOf,  // value
    PowerNotNumber,
    RoundPlaces,    // places
    SqrOfNegative,  // value
    FormatLetter,   // pattern, letter
    FormatDateOutOfRange,
    FormatPattern,  // pattern

    Count  // not a cause: the number of causes
};

const FailureTexts& failureTexts(QueryFault);

}  // namespace korvane
