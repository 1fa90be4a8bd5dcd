#pragma once
// The window of Help > Version: fixed texts about the program.

#include "shell/KorvaneDialog.h"

namespace korvane {

class DialogAbout : public KorvaneDialog {
    Q_OBJECT
public:
    explicit DialogAbout(QWidget* parent = nullptr);

private:
    void cmdOK_Click();
};

}  // namespace korvane
