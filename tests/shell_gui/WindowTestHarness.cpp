#include "WindowTestHarness.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QWidget>

#include "app/StandardLoaders.h"
#include "export/ConvertCommand.h"
#include "shell/ListPane.h"
#include "shell/TreePane.h"

namespace korvane {

namespace {

QSettings storedSettings() {
    return QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane"));
}

}  // namespace

void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void WindowTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_ui = std::make_unique<ScriptedInteraction>();
    m_loaded.clear();
    storedSettings().clear();
    setUserInteraction(m_ui.get());
    // The program's own wiring (File > Convert, the column letters); the loaders below stand in
    // for the real ones.
    registerStandardLoaders();
    InitProgramState();
    for (FileType type : {kFileCsv, kFileExcel, kFileDatabase}) {
        setLoader(type, [this](const QString& file, TreePane& tree, ListPane& list) {
            m_loaded.append(file);
            tree.addRoot(QStringLiteral("k"), file);
            list.addColumnHeader(QStringLiteral("rec"));
            list.addListItem(u" 1");
            list.refresh();
        });
    }
}

void WindowTest::cleanup() {
    for (FileType type : {kFileCsv, kFileExcel, kFileDatabase}) {
        setLoader(type, {});
    }
    // The program's own loaders also set the export's target chooser.
    setExportTargetChooser({});
    setUserInteraction(nullptr);
    settle();
    m_ui.reset();
    m_dir.reset();
}

std::unique_ptr<FormMain> WindowTest::showWindow() {
    auto window = std::make_unique<FormMain>();
    window->show();
    settle();
    return window;
}

void WindowTest::closeWindow(FormMain& window) {
    window.close();
    settle();
}

QString WindowTest::storedText(const char* key) {
    QSettings settings = storedSettings();
    return settings.value(QStringLiteral("Settings/") + QLatin1String(key)).toString();
}

void WindowTest::store(const char* key, const QString& text) {
    QSettings settings = storedSettings();
    settings.setValue(QStringLiteral("Settings/") + QLatin1String(key), text);
}

QString WindowTest::statusPanel(FormMain& window, int panel) {
    const auto* label = window.findChild<QLabel*>(QStringLiteral("Panel%1").arg(panel));
    return label != nullptr ? label->text() : QStringLiteral("<no panel>");
}

QString WindowTest::makeFile(const QString& name) {
    const QString file = m_dir->filePath(name);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        QTest::qFail(qPrintable(QStringLiteral("cannot write %1").arg(file)), __FILE__, __LINE__);
        return file;
    }
    out.write("a,b\r\n1,2\r\n");
    return file;
}

}  // namespace korvane
