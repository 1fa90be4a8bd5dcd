#include "shell/ConfirmDialog.h"

#include "platform/UserInteraction.h"
#include "shell/ShellTexts.h"

namespace korvane {

void ConfirmDialog::showEvent(QShowEvent* event) {
    if (!loaded()) {
        retCode = 2;  // before Form_Load, which may already close the dialog
    }
    KorvaneDialog::showEvent(event);
}

void ConfirmDialog::confirm() {
    retCode = 1;
    accept();
}

void ConfirmDialog::cancelWithNotice() {
    userInteraction().messageBox(textOf(ShellMessage::Information),
                                 textOf(ShellMessage::Cancelled));
    reject();
}

}  // namespace korvane
