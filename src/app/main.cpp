#include <QApplication>
#include <QTimer>

#include "app/StandardLoaders.h"
#include "shell/CaptionFit.h"
#include "shell/FormMain.h"
#include "shell/JapaneseTranslation.h"
#include "shell/QtUserInteraction.h"
#include "shell/RuntimeDirNote.h"

int main(int argc, char* argv[]) {
    korvane::hideMissingRuntimeDirNote();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    QApplication::setDesktopFileName(QStringLiteral("korvane"));
    korvane::installJapaneseTranslation(app);
    // The Japanese font the dialogs use, for the window and the system message boxes too.
    QApplication::setFont(korvane::DialogFont());

    korvane::QtUserInteraction interaction;
    korvane::setUserInteraction(&interaction);
    korvane::registerStandardLoaders();

    korvane::FormMain window;
    window.show();
    // A file manager's "Open With" passes paths: the first is opened once the window is up,
    // as if it had been chosen with File > Open.
    const QStringList paths = QApplication::arguments().mid(1);
    if (!paths.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, paths] { window.OpenCommandLinePaths(paths); });
    }
    const int result = QApplication::exec();
    korvane::setUserInteraction(nullptr);
    return result;
}
