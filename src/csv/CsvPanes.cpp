#include "csv/CsvPanes.h"

#include <algorithm>
#include <climits>

#include "csv/CsvRowSource.h"
#include "platform/UserInteraction.h"
#include "shell/ListPane.h"
#include "shell/TreePane.h"
#include "text/CsvText.h"
#include "text/Numbers.h"

namespace korvane {

QString NoRecordsMessage(const QString& path) {
    return QStringLiteral("ファイル(") + path + QStringLiteral(")にはレコードがありません。");
}

void ShowCsvLines(const QString& path, const std::shared_ptr<const CsvLines>& lines,
                  const CsvChoice& choice, TreePane& tree, ListPane& list) {
    int64_t linesToShow = choice.recView;
    if (linesToShow < 1 || !lines) {
        userInteraction().showMessage(NoRecordsMessage(path), true);
        return;
    }
    // Never more lines than were counted: the rows come from the counted lines.
    linesToShow = std::min(linesToShow, lines->lineCount());

    const PathParts parts = SplitPath(path);
    tree.clear();
    tree.addRoot(QStringLiteral("CSVファイル"),
                 parts.baseName + QLatin1Char('.') + parts.extension);

    int64_t columnCount = choice.itemCount;
    int64_t firstDataLine = 0;
    if (choice.isTitle) {
        const QStringList titles = SplitCsvLine(lines->lineText(0));
        columnCount = titles.size();
        if (columnCount > 0) {
            list.clearColumnHeaders();
            list.addColumnHeader(QStringLiteral("rec"));
            for (const QString& title : titles) {
                list.addColumnHeader(title);
            }
        }
        --linesToShow;  // also when the title line had no fields
        firstDataLine = 1;
    } else if (columnCount > 0) {
        list.clearColumnHeaders();
        list.addColumnHeader(QStringLiteral("rec"));
        for (int64_t n = 1; n <= columnCount; ++n) {
            list.addColumnHeader(QStringLiteral("item-") + NumberText(n));
        }
    }

    list.clearListItems();
    if (linesToShow > 0) {
        const int maxSubItems = static_cast<int>(std::min<int64_t>(columnCount, INT_MAX));
        list.addSourcedListItems(std::make_shared<CsvRowSource>(lines, firstDataLine), linesToShow,
                                 1, maxSubItems);
    }
    list.refresh();
}

}  // namespace korvane
