#include "WindowTestHarness.h"

#include <QFile>
#include <QLabel>
#include <QWidget>

#include "shell/ListPane.h"
#include "shell/TreePane.h"

namespace korvane {

namespace {

// QSettings finds its folder on first use; pointing XDG_CONFIG_HOME elsewhere before the tests
// start keeps them away from the developer's own settings.
class SettingsHome : public ::testing::Environment {
public:
    void SetUp() override {
        m_home = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(m_home->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home->path()));
    }
    void TearDown() override { m_home.reset(); }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

const auto* const kSettingsHome = ::testing::AddGlobalTestEnvironment(new SettingsHome);

QSettings storedSettings() {
    return QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane"));
}

}  // namespace

void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void WindowTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    storedSettings().clear();
    setUserInteraction(&m_ui);
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

void WindowTest::TearDown() {
    for (FileType type : {kFileCsv, kFileExcel, kFileDatabase}) {
        setLoader(type, {});
    }
    setUserInteraction(nullptr);
    settle();
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
    const QString file = m_dir.filePath(name);
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("a,b\r\n1,2\r\n");
    return file;
}

}  // namespace korvane
