#include "shell/RuntimeDirNote.h"

#include <QString>
#include <QtGlobal>

namespace korvane {

namespace {

// Run from cron, ssh or a container there is no XDG_RUNTIME_DIR. Qt then uses a folder of its
// own (/tmp/runtime-USER, made with mode 0700, its owner and mode checked) and says so on
// stderr, which a script takes for a fault. Only that note is dropped: Qt's fallback stays as it
// is, and its warnings about a runtime folder with a wrong owner or mode still show. Setting
// XDG_RUNTIME_DIR ourselves instead would repeat that fallback, with the same checks against a
// shared /tmp, and hand a made-up value to every process we start.
QtMessageHandler g_previousHandler = nullptr;

void dropMissingRuntimeDirNote(QtMsgType type, const QMessageLogContext& context,
                               const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) {
        return;
    }
    g_previousHandler(type, context, message);
}

}  // namespace

void hideMissingRuntimeDirNote() {
    // Qt gives back its default handler when none was installed, so there is always one to call.
    g_previousHandler = qInstallMessageHandler(dropMissingRuntimeDirNote);
}

}  // namespace korvane
