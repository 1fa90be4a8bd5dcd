#include <QApplication>
#include <QMainWindow>

#include "app/StandardLoaders.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    korvane::registerStandardLoaders();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Korvane Version 1.0"));
    window.show();
    return app.exec();
}
