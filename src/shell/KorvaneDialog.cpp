#include "shell/KorvaneDialog.h"

namespace korvane {

KorvaneDialog::KorvaneDialog(QWidget* parent) : QDialog(parent) {}

void KorvaneDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

}  // namespace korvane
