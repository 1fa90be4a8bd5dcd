#include "csv/CsvPanes.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <functional>

#include "csv/CsvRowSource.h"
#include "platform/UserInteraction.h"
#include "shell/ListPane.h"
#include "shell/TreePane.h"
#include "text/CsvText.h"
#include "text/Numbers.h"

namespace korvane {

namespace {

// Says once that the file changed after it was loaded. Rows are read while the list paints,
// where no dialog may open: with an event loop running, the message waits for it.
std::function<void()> FileChangedReporter(const QString& path) {
    auto reported = std::make_shared<bool>(false);
    return [path, reported] {
        if (*reported) {
            return;
        }
        *reported = true;
        auto show = [path] { userInteraction().showMessage(FileChangedMessage(path), true); };
        if (QCoreApplication::instance() != nullptr && QThread::currentThread()->loopLevel() > 0) {
            QTimer::singleShot(0, QCoreApplication::instance(), show);
        } else {
            show();
        }
    };
}

}  // namespace

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
    const std::function<void()> fileChanged = FileChangedReporter(path);
    if (linesToShow > 0) {
        const int maxSubItems = static_cast<int>(std::min<int64_t>(columnCount, INT_MAX));
        list.addSourcedListItems(std::make_shared<CsvRowSource>(lines, firstDataLine, fileChanged),
                                 linesToShow, 1, maxSubItems);
    }
    list.refresh();
    if (lines->fileChanged()) {
        fileChanged();  // found while the dialog or the title line read it
    }
}

}  // namespace korvane
