#include "platform/accessquery/QueryDefinition.h"

#include <algorithm>

#include "platform/accessquery/QueryFault.h"

namespace korvane {

namespace {

bool orderLess(const QByteArray& a, const QByteArray& b) {
    // Order is a big-endian counter: a longer value is larger; equal lengths compare bytewise.
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

// A clause that may appear once; `twice` is the failure when its row comes again.
Status setOnce(QString& target, bool& seen, const QString& value, QueryFault twice) {
    if (seen) {
        return Failure(twice);
    }
    seen = true;
    target = value;
    return Done{};
}

// A source row that holds a derived table keeps its SELECT in Name1 (or, without a name, in
// Expression).
QString derivedTableText(const QueryDefRow& row) {
    for (const QString& candidate : {row.name1, row.expression}) {
        if (QString text = derivedTableSelect(candidate); !text.isEmpty()) {
            return text;
        }
        if (!row.name1.isEmpty()) {
            break;  // a named source's Expression is an external database
        }
    }
    return QString();
}

}  // namespace

QString derivedTableSelect(const QString& written) {
    QString text = written.trimmed();
    if (text.startsWith(QLatin1Char('[')) &&
        (text.endsWith(QLatin1String("].")) || text.endsWith(QLatin1Char(']')))) {
        // Access 97 cannot nest brackets: the whole SELECT is one bracketed name.
        text = text.mid(1, text.size() - (text.endsWith(QLatin1Char('.')) ? 3 : 2)).trimmed();
    } else if (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')'))) {
        text = text.mid(1, text.size() - 2).trimmed();
    }
    if (text.size() > 6 &&
        text.left(6).compare(QLatin1String("SELECT"), Qt::CaseInsensitive) == 0 &&
        text[6].isSpace()) {
        return text;
    }
    return QString();
}

Result<QueryDefinition> collectQueryDefinition(int32_t objectId,
                                               const std::vector<QueryDefRow>& rows) {
    std::vector<const QueryDefRow*> mine;
    for (const QueryDefRow& row : rows) {
        if (row.objectId == objectId) {
            mine.push_back(&row);
        }
    }
    std::stable_sort(mine.begin(), mine.end(), [](const QueryDefRow* a, const QueryDefRow* b) {
        if (a->attribute != b->attribute) {
            return a->attribute < b->attribute;
        }
        return orderLess(a->order, b->order);
    });

    QueryDefinition out;
    bool seenType = false, seenFlags = false, seenRemote = false, seenWhere = false,
         seenHaving = false;
    QString unused;
    for (const QueryDefRow* row : mine) {
        const int flag = row->flag.value_or(0);
        switch (row->attribute) {
            case 1:
                if (Status once = setOnce(unused, seenType, QString(), QueryFault::TypeRowTwice);
                    !once) {
                    return once.takeFailure();
                }
                out.type = flag;
                break;
            case 2:
                out.parameters.push_back({row->name1, flag});
                break;
            case 3:
                if (Status once =
                        setOnce(out.topValue, seenFlags, row->name1, QueryFault::FlagsRowTwice);
                    !once) {
                    return once.takeFailure();
                }
                out.selectFlags = flag;
                break;
            case 4:
                if (Status once = setOnce(out.remoteDatabase, seenRemote,
                                          row->name1 + row->expression, QueryFault::RemoteRowTwice);
                    !once) {
                    return once.takeFailure();
                }
                if (out.remoteDatabase.isEmpty()) {
                    out.remoteDatabase = QStringLiteral("?");
                }
                break;
            case 5:
                if (!row->name2.isEmpty() && row->name2.startsWith(QLatin1String("X7YZ_____"))) {
                    out.unionParts.push_back(row->expression);
                } else if (const QString derived = derivedTableText(*row); !derived.isEmpty()) {
                    out.sources.push_back({QString(), row->name2, QString(), derived});
                } else {
                    out.sources.push_back({row->name1, row->name2, row->expression, QString()});
                }
                break;
            case 6:
                out.columns.push_back({row->expression, row->name1});
                break;
            case 7:
                out.joins.push_back({row->name1, row->name2, row->expression, flag});
                break;
            case 8:
                if (Status once =
                        setOnce(out.where, seenWhere, row->expression, QueryFault::WhereRowTwice);
                    !once) {
                    return once.takeFailure();
                }
                break;
            case 9:
                out.groupBy.push_back(row->expression);
                break;
            case 10:
                if (Status once = setOnce(out.having, seenHaving, row->expression,
                                          QueryFault::HavingRowTwice);
                    !once) {
                    return once.takeFailure();
                }
                break;
            case 11:
                out.orderBy.push_back(
                    {row->expression,
                     row->name1.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0});
                break;
            default:
                break;  // 0 and 255 mark the start and end; others carry nothing we use
        }
    }
    // Queries saved through SQL by other tools (CREATE VIEW) come without the type and flag
    // rows; Jet runs them as select queries, and the catalogue lists them as such.
    if (!seenType && !out.sources.empty()) {
        out.type = static_cast<int>(QueryType::Select);
    }
    return out;
}

bool FromItem::containsKey(const QString& key, const QueryDefinition& def) const {
    if (source >= 0) {
        return def.sources[source].key().compare(key, Qt::CaseInsensitive) == 0;
    }
    return left->containsKey(key, def) || right->containsKey(key, def);
}

Result<FromItems> buildFromItems(const QueryDefinition& def) {
    FromItems out;
    for (int i = 0; i < static_cast<int>(def.sources.size()); ++i) {
        auto item = std::make_unique<FromItem>();
        item->source = i;
        out.push_back(std::move(item));
    }
    for (const QueryJoinDef& join : def.joins) {
        if (join.kind < 1 || join.kind > 3) {
            return Failure(QueryFault::UnknownJoinKind, {QString::number(join.kind)});
        }
        int leftIndex = -1, rightIndex = -1;
        for (int i = 0; i < static_cast<int>(out.size()); ++i) {
            if (leftIndex < 0 && out[i]->containsKey(join.left, def)) {
                leftIndex = i;
            }
            if (rightIndex < 0 && out[i]->containsKey(join.right, def)) {
                rightIndex = i;
            }
        }
        if (leftIndex < 0 || rightIndex < 0) {
            return Failure(QueryFault::JoinTableNotInFrom,
                           {quoteAccessName(leftIndex < 0 ? join.left : join.right)});
        }
        if (leftIndex == rightIndex) {
            // A second condition between tables already joined: Access stores each part of an
            // ON clause joined with AND as a row of its own.
            FromItem& joined = *out[leftIndex];
            if (joined.source >= 0 || joined.joinKind != join.kind) {
                return Failure(QueryFault::ConflictingJoins,
                               {quoteAccessName(join.left), quoteAccessName(join.right)});
            }
            joined.on.push_back(join.on);
            continue;
        }
        auto item = std::make_unique<FromItem>();
        item->left = std::move(out[leftIndex]);
        item->right = std::move(out[rightIndex]);
        item->joinKind = join.kind;
        item->on.push_back(join.on);
        out.erase(out.begin() + std::max(leftIndex, rightIndex));
        out.erase(out.begin() + std::min(leftIndex, rightIndex));
        out.push_back(std::move(item));
    }
    return out;
}

QString quoteAccessName(const QString& name) {
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_'))) {
            return QLatin1Char('[') + name + QLatin1Char(']');
        }
    }
    return name;
}

}  // namespace korvane
