#pragma once
// What the main-window tests share: a settings store of their own (XDG_CONFIG_HOME points into
// a temporary folder before anything reads it), the scripted seam answering every dialog, and
// loaders that note what reached them.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "shell/FormMain.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"

namespace korvane {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new main window, shown and laid out.
    std::unique_ptr<FormMain> showWindow();
    // Closes the window through its own close command, which saves the geometry.
    static void closeWindow(FormMain& window);

    static QString storedText(const char* key);
    static void store(const char* key, const QString& text);
    static QString statusPanel(FormMain& window, int panel);

    // Writes a small file into the test's folder and returns its path.
    QString makeFile(const QString& name);
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Paths handed to a loader, in order.
    QStringList m_loaded;
    ScriptedInteraction m_ui;
    QTemporaryDir m_dir;
};

// Runs posted events (queued calls, deferred deletes) without waiting on any clock.
void settle();

}  // namespace korvane
