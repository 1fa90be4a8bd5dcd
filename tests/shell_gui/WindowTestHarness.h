#pragma once
// What the main-window tests share: the scripted seam answering every dialog, a fresh settings
// store and folder per test, and loaders that note what reached them. The settings store lives
// under the temporary XDG_CONFIG_HOME the test main sets before anything reads it.

#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "shell/FormMain.h"
#include "shell/ProgramState.h"
#include "shell/ScriptedInteraction.h"

namespace korvane {

// Base of the window test classes. Qt Test runs init() before and cleanup() after every test
// function and every row of its data table, so each one starts from a clean state.
class WindowTest : public QObject {
    Q_OBJECT

protected slots:
    void init();
    void cleanup();

protected:
    // A new main window, shown and laid out.
    std::unique_ptr<FormMain> showWindow();
    // Closes the window through its own close command, which saves the geometry.
    static void closeWindow(FormMain& window);

    static QString storedText(const char* key);
    static void store(const char* key, const QString& text);
    static QString statusPanel(FormMain& window, int panel);

    // Writes a small file into the test's folder and returns its path.
    QString makeFile(const QString& name);
    QString path(const QString& name) const { return m_dir->filePath(name); }

    // Paths handed to a loader, in order.
    QStringList m_loaded;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Runs posted events (queued calls, deferred deletes) without waiting on any clock.
void settle();

}  // namespace korvane
