#include "shell/AreaCommands.h"

namespace korvane {

namespace {

AreaCommands& registered() {
    static AreaCommands commands;
    return commands;
}

}  // namespace

void setAreaCommands(AreaCommands commands) {
    registered() = std::move(commands);
}

const AreaCommands& areaCommands() {
    return registered();
}

}  // namespace korvane
