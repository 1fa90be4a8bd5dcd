#pragma once
// Base of the dialogs that hand a choice back to their caller (the display-range dialogs and the
// export target dialog): retCode is 2 from the load on and turns 1 only through confirm(), so
// Cancel, the close command and a failed load all read as "not confirmed".

#include <cstdint>

#include "shell/KorvaneDialog.h"

namespace korvane {

class ConfirmDialog : public KorvaneDialog {
    Q_OBJECT
public:
    explicit ConfirmDialog(QWidget* parent = nullptr) : KorvaneDialog(parent) {}

    int32_t retCode = 2;  // 1 confirmed with OK, 2 not confirmed

protected:
    void showEvent(QShowEvent* event) override;
    // OK succeeded: retCode 1 and close.
    void confirm();
    // Cancel: the notice "キャンセルされました。" in a message box, then close; retCode stays 2.
    void cancelWithNotice();
};

}  // namespace korvane
