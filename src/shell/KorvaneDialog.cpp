#include "shell/KorvaneDialog.h"

#include <QKeyEvent>

#include "platform/Twips.h"
#include "shell/CaptionFit.h"

namespace korvane {

KorvaneDialog::KorvaneDialog(QWidget* parent) : QDialog(parent) {}

void MakeFixedDialog(QDialog& dialog, double widthTwips, double heightTwips) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    dialog.setFixedSize(twipsSize(widthTwips, heightTwips, &dialog));
}

void KorvaneDialog::setUpForm(const char* name, const QString& caption, double widthTwips,
                              double heightTwips) {
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);
    setFont(DialogFont());
    MakeFixedDialog(*this, widthTwips, heightTwips);
}

void KorvaneDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
        // Texts set by the load (a count, a path) are fitted with the fixed ones.
        FitCaptions(*this);
    }
}

void KorvaneDialog::keyPressEvent(QKeyEvent* event) {
    if (m_escape == EscapeKey::Ignored && event->key() == Qt::Key_Escape) {
        event->accept();  // only the buttons and the close command close this dialog
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace korvane
