#pragma once
// Every moment where the program waits on a person goes through this one interface: the GUI
// shows real windows, korvane-cli and the tests answer from a script.

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;

namespace korvane {

struct FileDialogRequest {
    QString title;
    QStringList filters;  // "CSVファイル (*.csv)" ... in display order
    QString folder;       // initial folder
    QString fileName;     // initial file name
};

class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    // Shows a dialog modal and returns once it has closed. The dialog's own handlers decide
    // what it leaves in its public fields.
    virtual void runModal(QDialog& dialog) = 0;

    // Shows a text in a DialogMessage: modal (returns after OK) or modeless (returns at once).
    virtual void showMessage(const QString& text, bool modal) = 0;

    // A system message box with an OK button only and no icon; returns once it is closed.
    virtual void messageBox(const QString& title, const QString& text) = 0;

    // The open and save file dialogs; no value when the user cancelled.
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;

    // Long work: shown after about half a second; the return value false means "stop". A
    // negative share: how much is left is not known (a busy bar). Updates may come thousands
    // of times a second; the interaction decides how often to repaint.
    virtual void progressBegin(const QString& label) = 0;
    virtual bool progressUpdate(double shareDone) = 0;
    virtual void progressEnd() = 0;

    // The wait (hourglass) pointer on and off.
    virtual void setWaitCursor(bool on) = 0;
};

// The interaction the program uses now. Set once at start-up (GUI or script); tests swap it.
UserInteraction& userInteraction();
void setUserInteraction(UserInteraction* interaction);

}  // namespace korvane
