// Runs every window test class offscreen in one QApplication, with a settings store of its own,
// and fails when any class fails. A first argument naming a class runs that class only; the
// remaining arguments go to Qt Test (test function names, -v2, -o ...).

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ShellGuiTests.h"
#include "shell/JapaneseTranslation.h"

namespace {

struct TestClass {
    const char* name;
    std::unique_ptr<QObject> (*make)();
};

const TestClass kTestClasses[] = {
    {"FormMainGeometryTest", korvane::newFormMainGeometryTest},
    {"FormMainLayoutTest", korvane::newFormMainLayoutTest},
    {"FormMainCommandsTest", korvane::newFormMainCommandsTest},
    {"OpenWithTest", korvane::newOpenWithTest},
    {"ShellDialogsTest", korvane::newShellDialogsTest},
    {"CaptionFitTest", korvane::newCaptionFitTest},
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // QSettings finds its folder on first use; pointing XDG_CONFIG_HOME elsewhere before the
    // application starts keeps the tests away from the developer's own settings.
    QTemporaryDir settingsHome;
    if (!settingsHome.isValid()) {
        std::fprintf(stderr, "no temporary folder for the settings store\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsHome.path()));

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    // As the program does at start-up, whatever the locale (ctest runs this under LANG=C).
    korvane::installJapaneseTranslation(app);

    std::vector<char*> arguments(argv, argv + argc);
    const char* only = nullptr;
    if (arguments.size() > 1) {
        for (const TestClass& test : kTestClasses) {
            if (std::strcmp(arguments[1], test.name) == 0) {
                only = test.name;
                arguments.erase(arguments.begin() + 1);
                break;
            }
        }
    }

    int failedClasses = 0;
    for (const TestClass& test : kTestClasses) {
        if (only != nullptr && std::strcmp(only, test.name) != 0) {
            continue;
        }
        const std::unique_ptr<QObject> object = test.make();
        if (QTest::qExec(object.get(), static_cast<int>(arguments.size()), arguments.data()) != 0) {
            ++failedClasses;
        }
    }
    return failedClasses == 0 ? 0 : 1;
}
