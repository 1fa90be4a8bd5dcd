#include "cli/Commands.h"

namespace korvane::cli {

int runExport(const QStringList& /*args*/) {
    return usageError(QStringLiteral("export is not available yet"));
}

}  // namespace korvane::cli
