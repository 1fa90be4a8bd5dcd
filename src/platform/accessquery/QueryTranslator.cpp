#include "platform/accessquery/QueryTranslator.h"

#include <algorithm>

#include "platform/accessquery/AccessSelectParser.h"
#include "platform/accessquery/QueryFault.h"
#include "platform/accessquery/QueryScope.h"

namespace korvane {

using Kind = DbValue::Kind;

namespace {

// A query of another type than select: the engine runs none of them.
Failure notSelect(int type) {
    switch (static_cast<QueryType>(type)) {
        case QueryType::MakeTable:
            return Failure(QueryFault::MakeTableQuery);
        case QueryType::Append:
            return Failure(QueryFault::AppendQuery);
        case QueryType::Update:
            return Failure(QueryFault::UpdateQuery);
        case QueryType::Delete:
            return Failure(QueryFault::DeleteQuery);
        case QueryType::Crosstab:
            return Failure(QueryFault::CrosstabQuery);
        case QueryType::DataDefinition:
            return Failure(QueryFault::DataDefinitionQuery);
        case QueryType::PassThrough:
            return Failure(QueryFault::PassThroughQuery);
        case QueryType::Union:
            return Failure(QueryFault::UnionQuery);
        default:
            return Failure(QueryFault::UnknownQueryType, {QString::number(type)});
    }
}

// The name of a value as the person asked for it sees it: "[Forms]![F]![C]" is "Forms!F!C".
QString parameterName(const QString& written) {
    QString name = written;
    name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    return name.trimmed();
}

// Text and Memo: what was typed is the value as it stands.
bool isTextParameterType(int type) {
    return type == 10 || type == 12;
}

}  // namespace

const CatalogueObject* findCatalogueObject(const QueryCatalogue& catalogue, const QString& name) {
    const CatalogueObject* caseless = nullptr;
    for (const CatalogueObject& object : catalogue.objects) {
        if (!isRowSourceKind(object.kind())) {
            continue;
        }
        if (object.name == name) {
            return &object;
        }
        if (!caseless && object.name.compare(name, Qt::CaseInsensitive) == 0) {
            caseless = &object;
        }
    }
    return caseless;
}

Result<TranslatedSelect> QueryTranslator::translate(const CatalogueObject& query) {
    m_params = SqlParams();
    m_openQueries.clear();
    m_aliasCount = 0;
    m_depth = 0;
    m_asked.clear();
    m_declared.clear();
    m_rowByRow = true;
    m_tableReads = 0;
    return translateQuery(query);
}

Result<SqlPiece> QueryTranslator::valueNeeded(const QString& written) {
    const QString name = parameterName(written);
    const auto sameAs = [&name](const QString& other) {
        return other.compare(name, Qt::CaseInsensitive) == 0;
    };
    if (m_collecting) {
        if (std::none_of(m_asked.begin(), m_asked.end(), sameAs)) {
            m_asked << name;
        }
        return SqlPiece{QStringLiteral("NULL")};
    }
    if (m_values) {
        for (const QueryValue& given : *m_values) {
            if (!sameAs(parameterName(given.name))) {
                continue;
            }
            // A value declared as text stays the text typed; any other is read as Access reads
            // what was typed.
            const auto declared =
                std::find_if(m_declared.begin(), m_declared.end(),
                             [&sameAs](const QueryParameterDef& p) { return sameAs(p.name); });
            DbValue value = readTypedValue(given.typed);
            if (declared != m_declared.end() && isTextParameterType(declared->type) &&
                !given.typed.isEmpty()) {
                value = DbValue{};
                value.kind = Kind::Text;
                value.text = given.typed;
            }
            return SqlPiece{m_params.add(value), value.kind};
        }
    }
    return Failure(QueryFault::ValueNeeded, {written});
}

// Declared parameters are asked for even when nothing uses them, before any other name.
Status QueryTranslator::declareParameters(const QueryDefinition& def) {
    for (const QueryParameterDef& declared : def.parameters) {
        m_declared.push_back({parameterName(declared.name), declared.type});
        Result<SqlPiece> value =
            valueNeeded(QLatin1Char('[') + parameterName(declared.name) + QLatin1Char(']'));
        if (!value) {
            return value.takeFailure();
        }
    }
    return Done{};
}

Result<TranslatedSelect> QueryTranslator::translateQuery(const CatalogueObject& query) {
    if (std::find(m_openQueries.begin(), m_openQueries.end(), query.id) != m_openQueries.end()) {
        return Failure(QueryFault::SelfReference, {quoteAccessName(query.name)});
    }
    Result<QueryDefinition> def = collectQueryDefinition(query.id, m_catalogue.queryRows);
    if (!def) {
        return def.takeFailure();
    }
    if (def->type != static_cast<int>(QueryType::Select)) {
        return notSelect(def->type);
    }
    if (Status declared = declareParameters(def.value()); !declared) {
        return declared.takeFailure();
    }
    m_openQueries.push_back(query.id);
    Result<TranslatedSelect> out = translateSelect(def.value(), nullptr, SelectShape::Rows);
    m_openQueries.pop_back();
    if (!out && !m_openQueries.empty()) {
        return Failure(QueryFault::InQuery, {quoteAccessName(query.name)}, out.takeFailure());
    }
    return out;
}

ScopeSource QueryTranslator::tableSource(LoadedTable& table, const QString& key) {
    ++m_tableReads;
    ScopeSource out;
    out.key = key;
    out.sqlAlias = nextAlias();
    out.isTable = true;
    out.fromSql = table.sqlName + QStringLiteral(" AS ") + out.sqlAlias;
    for (LoadedColumn& column : table.columns) {
        ScopeColumn c{column.name, column.kind, out.sqlAlias + QLatin1Char('.') + column.sqlName,
                      QString(), &column};
        if (!column.exactSqlName.isEmpty()) {
            c.exactSql = out.sqlAlias + QLatin1Char('.') + column.exactSqlName;
        }
        out.columns.push_back(c);
    }
    return out;
}

ScopeSource QueryTranslator::selectSource(const TranslatedSelect& inner, const QString& key) {
    ScopeSource out;
    out.key = key;
    out.sqlAlias = nextAlias();
    out.fromSql = QLatin1Char('(') + inner.sql + QStringLiteral(") AS ") + out.sqlAlias;
    for (const OutputColumn& column : inner.columns) {
        ScopeColumn c{column.name, column.kind, out.sqlAlias + QLatin1Char('.') + column.sqlName,
                      QString(), nullptr};
        if (!column.exactSqlName.isEmpty()) {
            c.exactSql = out.sqlAlias + QLatin1Char('.') + column.exactSqlName;
        }
        out.columns.push_back(c);
    }
    return out;
}

Result<ScopeSource> QueryTranslator::resolveSource(const QuerySourceDef& def, QueryScope* outer) {
    if (!def.subquery.isEmpty()) {
        Result<QueryDefinition> derived = parseAccessSelect(def.subquery);
        if (!derived) {
            return derived.takeFailure();
        }
        Result<TranslatedSelect> inner = translateSelect(derived.value(), outer, SelectShape::Rows);
        if (!inner) {
            return inner.takeFailure();
        }
        return selectSource(inner.value(), def.key());
    }
    if (!def.database.isEmpty()) {
        return Failure(QueryFault::ExternalTable, {quoteAccessName(def.name)});
    }
    const CatalogueObject* object = findCatalogueObject(m_catalogue, def.name);
    if (!object) {
        return Failure(QueryFault::NoSuchSource, {quoteAccessName(def.name)});
    }
    if (isTableKind(object->kind())) {
        Result<LoadedTable*> table = m_tables.table(object->name);
        if (!table) {
            return table.takeFailure();
        }
        return tableSource(*table.value(), def.key());
    }
    if (object->kind() == DbObjectKind::Query) {
        Result<TranslatedSelect> inner = translateQuery(*object);
        if (!inner) {
            return inner.takeFailure();
        }
        return selectSource(inner.value(), def.key());
    }
    return Failure(QueryFault::LinkedTable, {quoteAccessName(object->name)});
}

Result<std::vector<ScopeSource>> QueryTranslator::resolveSources(const QueryDefinition& def,
                                                                 QueryScope* outer) {
    if (def.sources.empty()) {
        return Failure(QueryFault::NoFromClause);
    }
    if (def.sources.size() > static_cast<size_t>(QueryLimits::kMaxSources)) {
        return Failure(QueryFault::TooManySources, {QString::number(def.sources.size())});
    }
    std::vector<ScopeSource> sources;
    for (const QuerySourceDef& sourceDef : def.sources) {
        Result<ScopeSource> source = resolveSource(sourceDef, outer);
        if (!source) {
            return source.takeFailure();
        }
        for (const ScopeSource& other : sources) {
            if (other.key.compare(source->key, Qt::CaseInsensitive) == 0) {
                return Failure(QueryFault::SourceNameTwice, {quoteAccessName(source->key)});
            }
        }
        sources.push_back(std::move(source).value());
    }
    return sources;
}

// A subquery is a SELECT of its own whose names may also reach the query around it. Used as a
// value it gives at most one row: the SQL checks that, as Access refuses more.
Result<SqlPiece> QueryTranslator::translateSubquery(const QString& selectText, SubqueryUse use,
                                                    QueryScope& outer) {
    m_rowByRow = false;
    Result<QueryDefinition> def = parseAccessSelect(selectText);
    if (!def) {
        return def.takeFailure();
    }
    Result<TranslatedSelect> select = translateSelect(
        def.value(), &outer, use == SubqueryUse::Rows ? SelectShape::Rows : SelectShape::OneColumn);
    if (!select) {
        return Failure(QueryFault::InSubquery, {}, select.takeFailure());
    }
    SqlPiece out{select->sql, select->columns.front().kind};
    if (use == SubqueryUse::Value) {
        out.sql = QStringLiteral(
                      "SELECT CASE WHEN count(*) > 1 THEN ak_manyrows() ELSE max(v_.o1) "
                      "END FROM (SELECT * FROM (") +
                  select->sql + QStringLiteral(") LIMIT 2) AS v_");
    }
    return out;
}

}  // namespace korvane
