#pragma once
// Base of the program's dialogs: the caller creates one, sets its public m_ fields, shows it
// through the user-interaction seam and reads its fields after it has closed. Form_Load runs
// once, when the dialog is first shown, so it sees the fields the caller set.

#include <QDialog>

namespace korvane {

class KorvaneDialog : public QDialog {
    Q_OBJECT
public:
    explicit KorvaneDialog(QWidget* parent = nullptr);

protected:
    virtual void Form_Load() {}
    void showEvent(QShowEvent* event) override;

private:
    bool m_loaded = false;
};

}  // namespace korvane
