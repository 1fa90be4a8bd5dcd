#include "cli/CliOutput.h"

#include <cstdio>

#include "shell/ListPane.h"
#include "shell/TreePane.h"

namespace korvane::cli {

QString escapeField(const QString& field) {
    QString out;
    out.reserve(field.size());
    for (const QChar c : field) {
        switch (c.unicode()) {
            case '\\':
                out += QLatin1String("\\\\");
                break;
            case '\t':
                out += QLatin1String("\\t");
                break;
            case '\n':
                out += QLatin1String("\\n");
                break;
            case '\r':
                out += QLatin1String("\\r");
                break;
            default:
                out += c;
        }
    }
    return out;
}

void printRecord(const QStringList& fields, bool flush) {
    QString line;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += QLatin1Char('\t');
        }
        line += escapeField(fields[i]);
    }
    line += QLatin1Char('\n');
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<size_t>(utf8.size()), stdout);
    if (flush) {
        std::fflush(stdout);
    }
}

void printTree(const TreePane& tree) {
    for (const int index : tree.displayOrder()) {
        const TreePane::Node& node = tree.nodes()[static_cast<size_t>(index)];
        QString flags;
        if (node.bold) {
            flags += QLatin1Char('B');
        }
        if (node.expanded) {
            flags += QLatin1Char('E');
        }
        if (flags.isEmpty()) {
            flags = QStringLiteral("-");
        }
        printRecord({QStringLiteral("tree"),
                     node.parent < 0 ? QStringLiteral("0") : QStringLiteral("1"), node.key,
                     node.text, flags});
    }
}

void printPanes(const TreePane& tree, const ListPane& list, bool summary) {
    printTree(tree);
    if (list.columnHeaderCount() > 0) {
        QStringList columns = list.columnHeaders();
        columns.prepend(QStringLiteral("columns"));
        printRecord(columns);
    }
    if (summary) {
        printRecord({QStringLiteral("rows"), QString::number(list.itemCount())});
        return;
    }
    for (int64_t row = 0; row < list.itemCount(); ++row) {
        QStringList fields = list.subItems(row);
        fields.prepend(list.itemText(row));
        fields.prepend(QStringLiteral("row"));
        printRecord(fields, false);
    }
    std::fflush(stdout);
}

}  // namespace korvane::cli
