#include "shell/ShellIcons.h"

// The resources live in a static library: nothing would pull them into the program unless
// they are initialized by name, which must happen outside any namespace.
static void initShellResources() {
    Q_INIT_RESOURCE(korvane);
}

namespace korvane {

namespace {

QString resource(const char* name) {
    static const bool initialized = [] {
        initShellResources();
        return true;
    }();
    (void)initialized;
    return QStringLiteral(":/korvane/icons/") + QLatin1String(name);
}

}  // namespace

QIcon WindowIcon() {
    QIcon icon;
    icon.addFile(resource("korvane.png"));
    icon.addFile(resource("korvane-128.png"));
    return icon;
}

QIcon OpenIcon() {
    return QIcon(resource("open.png"));
}
QIcon ConvertIcon() {
    return QIcon(resource("convert.png"));
}
QPixmap MessagePicture() {
    return QPixmap(resource("message.png"));
}
QPixmap LargePicture() {
    return QPixmap(resource("korvane.png"));
}

}  // namespace korvane
