#include "cli/CliAnswers.h"

namespace korvane::cli {

std::vector<AnswerOption> excelAnswerOptions() {
    // The options of this subsystem's display-range dialog come here.
    return {};
}

}  // namespace korvane::cli
