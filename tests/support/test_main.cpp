// The main of every GoogleTest executable: a QApplication first, so tests can build the real
// dialogs offscreen, speaking Japanese as the program does.
#include <gtest/gtest.h>

#include <QApplication>

#include "shell/JapaneseTranslation.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    korvane::installJapaneseTranslation(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
