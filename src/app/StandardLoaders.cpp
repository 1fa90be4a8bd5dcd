#include "app/StandardLoaders.h"

#include "shell/ProgramState.h"

namespace korvane {

void registerStandardLoaders() {
    // Each subsystem adds its loader here once it has one.
}

}  // namespace korvane
