#include "shell/ProgramInfo.h"

namespace korvane {

QString programName() {
    return QStringLiteral("Korvane");
}

QString programVersion() {
    return QStringLiteral(KORVANE_VERSION);
}

}  // namespace korvane
