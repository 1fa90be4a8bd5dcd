#pragma once
// The user-interaction seam shown as real windows.

#include <QElapsedTimer>
#include <QPointer>

#include "platform/UserInteraction.h"

class QFileDialog;
class QMessageBox;
class QProgressDialog;
class QWidget;

namespace korvane {

class QtUserInteraction : public UserInteraction {
public:
    QtUserInteraction();
    ~QtUserInteraction() override;

    void runModal(QDialog& dialog) override;
    void showMessage(const QString& text, bool modal) override;
    void messageBox(const QString& title, const QString& text) override;
    std::optional<QString> openFileName(const FileDialogRequest& request) override;
    std::optional<QString> saveFileName(const FileDialogRequest& request) override;
    void progressBegin(const QString& label) override;
    bool progressUpdate(double shareDone) override;
    void progressEnd() override;
    void setWaitCursor(bool on) override;

private:
    QPointer<QProgressDialog> m_progress;
    QElapsedTimer m_sinceRepaint;
    bool m_waitCursorOn = false;
};

// Sets up a file dialog for a request: title, filters in order, folder and name. Filters match
// names in any letter case, and saving over an existing file is asked about first.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save);

// Keeps a message box at least as wide as its title needs, so the title reads whole.
void MakeTitleFit(QMessageBox& box);

// The window a dialog should stand over: the active window, else the main window if any.
QWidget* DialogOwner();

}  // namespace korvane
