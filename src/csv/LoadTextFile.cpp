#include "csv/LoadTextFile.h"

#include "csv/CsvPanes.h"
#include "csv/DialogConfirmCSV.h"
#include "platform/UserInteraction.h"

namespace korvane {

void LoadTextFile(const QString& path, TreePane& tree, ListPane& list) {
    CsvChoice choice;
    std::shared_ptr<const CsvLines> lines;
    {
        DialogConfirmCSV dlg;
        dlg.m_fname = path;
        userInteraction().runModal(dlg);
        if (dlg.retCode == 2) {
            return;
        }
        choice.recView = dlg.m_recView;
        choice.itemCount = dlg.m_itemCount;
        choice.isTitle = dlg.m_isTitle;
        lines = dlg.countedLines();
    }
    ShowCsvLines(path, lines, choice, tree, list);
}

}  // namespace korvane
