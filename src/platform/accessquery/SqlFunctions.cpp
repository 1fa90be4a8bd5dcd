#include "platform/accessquery/SqlFunctions.h"

#include <QSet>
#include <cmath>
#include <cstring>
#include <iterator>

#include "platform/accessquery/AccessExpr.h"
#include "platform/accessquery/AccessTextOrder.h"
#include "platform/accessquery/QueryFault.h"
#include "platform/accessquery/SqlArgs.h"

namespace korvane {

namespace {

int compareText(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return compareAccessText(static_cast<const char*>(a), static_cast<size_t>(lengthA),
                             static_cast<const char*>(b), static_cast<size_t>(lengthB));
}

// First and Last: the value of the group's first and last row, Null included.
struct PickState {
    sqlite3_value* value = nullptr;
    bool seen = false;
};

template <bool Last>
void pickStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* state = static_cast<PickState*>(sqlite3_aggregate_context(ctx, sizeof(PickState)));
    if (!state) {
        return sqlite3_result_error_nomem(ctx);
    }
    if (state->seen && !Last) {
        return;
    }
    sqlite3_value_free(state->value);
    state->value = sqlite3_value_dup(argv[0]);
    state->seen = true;
    if (!state->value) {
        sqlite3_result_error_nomem(ctx);
    }
}

void pickFinal(sqlite3_context* ctx) {
    auto* state = static_cast<PickState*>(sqlite3_aggregate_context(ctx, 0));
    if (!state || !state->value) {
        return sqlite3_result_null(ctx);
    }
    sqlite3_result_value(ctx, state->value);
    sqlite3_value_free(state->value);
    state->value = nullptr;
}

// StDev, StDevP, Var, VarP over the non-Null values (Welford's running mean).
struct SpreadState {
    int64_t count = 0;
    double mean = 0;
    double m2 = 0;
    bool mismatch = false;
};

void spreadStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* state = static_cast<SpreadState*>(sqlite3_aggregate_context(ctx, sizeof(SpreadState)));
    if (!state) {
        return sqlite3_result_error_nomem(ctx);
    }
    bool mismatch = false;
    const auto number = argNumber(argv[0], mismatch);
    state->mismatch = state->mismatch || mismatch;
    if (!number) {
        return;
    }
    ++state->count;
    const double delta = *number - state->mean;
    state->mean += delta / static_cast<double>(state->count);
    state->m2 += delta * (*number - state->mean);
}

template <bool Population, bool Root>
void spreadFinal(sqlite3_context* ctx) {
    auto* state = static_cast<SpreadState*>(sqlite3_aggregate_context(ctx, 0));
    if (state && state->mismatch) {
        return resultTypeMismatch(ctx, "StDev/Var");
    }
    const int64_t needed = Population ? 1 : 2;
    if (!state || state->count < needed) {
        return sqlite3_result_null(ctx);
    }
    const double variance =
        state->m2 / static_cast<double>(Population ? state->count : state->count - 1);
    sqlite3_result_double(ctx, Root ? std::sqrt(variance) : variance);
}

struct AggregateDef {
    const char* name;
    void (*step)(sqlite3_context*, int, sqlite3_value**);
    void (*final)(sqlite3_context*);
};

const AggregateDef kAggregates[] = {
    {"ak_first", pickStep<false>, pickFinal},
    {"ak_last", pickStep<true>, pickFinal},
    {"ak_stdev", spreadStep, spreadFinal<false, true>},
    {"ak_stdevp", spreadStep, spreadFinal<true, true>},
    {"ak_var", spreadStep, spreadFinal<false, false>},
    {"ak_varp", spreadStep, spreadFinal<true, false>},
};

// SQLite built-ins the translator writes.
const char* const kBuiltins[] = {"count",    "sum",  "avg",        "min",       "max",
                                 "coalesce", "rank", "row_number", "dense_rank"};

Failure fail(const char* what) {
    return Failure(QueryFault::FunctionNotRegistered, {QString::fromLatin1(what)});
}

// Stands where a subquery used as one value gave more than one row, as Access refuses it.
void manyRows(sqlite3_context* ctx, int, sqlite3_value**) {
    resultError(ctx, Failure(QueryFault::ValueSubqueryManyRows));
}

const SqlFunctionDef kEngineFunctions[] = {{"ak_manyrows", 0, manyRows, false}};

const SqlFunctionDef* engineFunctions(int& count) {
    count = static_cast<int>(std::size(kEngineFunctions));
    return kEngineFunctions;
}

using Group = const SqlFunctionDef* (*)(int&);
const Group kGroups[] = {textFunctions, dateFunctions, numberFunctions, engineFunctions};

}  // namespace

Status registerAccessFunctions(sqlite3* db, std::optional<Failure>& raised) {
    if (sqlite3_create_collation(db, kTextCollation, SQLITE_UTF8, nullptr, compareText) !=
        SQLITE_OK) {
        return fail(kTextCollation);
    }
    for (Group group : kGroups) {
        int count = 0;
        const SqlFunctionDef* defs = group(count);
        for (int i = 0; i < count; ++i) {
            const int flags = SQLITE_UTF8 | SQLITE_DIRECTONLY |
                              (defs[i].deterministic ? SQLITE_DETERMINISTIC : 0);
            if (sqlite3_create_function_v2(db, defs[i].name, defs[i].args, flags, &raised,
                                           defs[i].scalar, nullptr, nullptr,
                                           nullptr) != SQLITE_OK) {
                return fail(defs[i].name);
            }
        }
    }
    for (const AggregateDef& def : kAggregates) {
        if (sqlite3_create_function_v2(db, def.name, 1, SQLITE_UTF8 | SQLITE_DIRECTONLY, &raised,
                                       nullptr, def.step, def.final, nullptr) != SQLITE_OK) {
            return fail(def.name);
        }
    }
    return Done{};
}

bool isAllowedSqlFunction(const char* name) {
    static const QSet<QByteArray> allowed = [] {
        QSet<QByteArray> names;
        for (Group group : kGroups) {
            int count = 0;
            const SqlFunctionDef* defs = group(count);
            for (int i = 0; i < count; ++i) {
                names.insert(QByteArray(defs[i].name));
            }
        }
        for (const AggregateDef& def : kAggregates) {
            names.insert(QByteArray(def.name));
        }
        for (const char* builtin : kBuiltins) {
            names.insert(QByteArray(builtin));
        }
        return names;
    }();
    return name && allowed.contains(QByteArray(name).toLower());
}

}  // namespace korvane
