#include "platform/UserInteraction.h"

namespace korvane {

namespace {
UserInteraction* g_interaction = nullptr;
}  // namespace

UserInteraction& userInteraction() {
    // Start-up sets the interaction before anything can wait on a person; reaching here without
    // one is a programming error in a test or a tool.
    Q_ASSERT(g_interaction != nullptr);
    return *g_interaction;
}

void setUserInteraction(UserInteraction* interaction) {
    g_interaction = interaction;
}

}  // namespace korvane
