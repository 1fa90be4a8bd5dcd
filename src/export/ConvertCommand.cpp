#include "export/ConvertCommand.h"

#include <exception>

#include "export/ExportTexts.h"
#include "export/ExportToCsv.h"
#include "platform/UserInteraction.h"
#include "shell/ProgramState.h"

namespace korvane {

namespace {

ExportTargetChooser& targetChooser() {
    static ExportTargetChooser chooser;
    return chooser;
}

// The wait pointer for as long as it lives, so no way out of the command leaves it on.
class WaitCursor {
public:
    WaitCursor() { userInteraction().setWaitCursor(true); }
    ~WaitCursor() { restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void restore() {
        if (m_on) {
            m_on = false;
            userInteraction().setWaitCursor(false);
        }
    }

private:
    bool m_on = true;
};

}  // namespace

void setExportTargetChooser(ExportTargetChooser chooser) {
    targetChooser() = std::move(chooser);
}

bool ConvertCommand() {
    if (programState().CurrentFileType != kFileDatabase) {
        ShowMessage(textOf(ExportMessage::OnlyForDatabases));
        return false;
    }
    if (!targetChooser()) {
        return false;
    }
    const std::optional<ExportTarget> target = targetChooser()();
    if (!target) {
        return false;
    }

    WaitCursor waitCursor;
    Status exported = Done{};
    try {
        exported = ExportToCsv(target->outputFilename, target->selectTable, target->isTitle);
    } catch (const std::exception&) {
        // Out of memory and the like: reported like any other failure, the program goes on.
        exported = Failure{ExportFault::ExportInterrupted, {target->outputFilename}};
    }
    if (!exported) {
        waitCursor.restore();
        if (!exported.failure().is(ExportFault::ValuesDeclined)) {  // the dialog has said so
            ShowMessage(exported.failure().text());
        }
        return false;
    }
    // The wait pointer stays until the notice has been closed.
    userInteraction().messageBox(QStringLiteral("Korvane"), textOf(ExportMessage::Exported));
    return true;
}

}  // namespace korvane
