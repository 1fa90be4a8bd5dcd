#pragma once
// One MSysQueries row of a saved query, for the benchmarks that build their queries in memory.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

#include "platform/accessquery/QueryDefinition.h"

inline korvane::QueryDefRow benchQueryRow(int32_t id, int attribute, int order,
                                          const QString& name1, const QString& expression,
                                          std::optional<int32_t> flag) {
    korvane::QueryDefRow r;
    r.objectId = id;
    r.attribute = attribute;
    r.order = QByteArray(3, '\0') + static_cast<char>(order);
    r.name1 = name1;
    r.expression = expression;
    r.flag = flag;
    return r;
}
