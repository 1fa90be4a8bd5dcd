#pragma once
// Base of the program's dialogs: the caller creates one, sets its public m_ fields, shows it
// through the user-interaction seam and reads its fields after it has closed. Form_Load runs
// once, when the dialog is first shown, so it sees the fields the caller set; then every caption
// is fitted to its control.

#include <QDialog>

namespace korvane {

class KorvaneDialog : public QDialog {
    Q_OBJECT
public:
    explicit KorvaneDialog(QWidget* parent = nullptr);

protected:
    enum class EscapeKey { Closes, Ignored };

    // Names the form and gives it its caption and a fixed client size in twips: a dialog frame
    // with a close command but no minimize or maximize button, and the dialog font.
    void setUpForm(const char* name, const QString& caption, double widthTwips, double heightTwips);
    // Whether Escape closes the dialog like its close command (the default) or does nothing.
    void setEscapeKey(EscapeKey key) { m_escape = key; }

    virtual void Form_Load() {}
    bool loaded() const { return m_loaded; }
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_loaded = false;
    EscapeKey m_escape = EscapeKey::Closes;
};

// A fixed-size dialog frame without minimize and maximize buttons, `widthTwips` by
// `heightTwips` inside.
void MakeFixedDialog(QDialog& dialog, double widthTwips, double heightTwips);

}  // namespace korvane
