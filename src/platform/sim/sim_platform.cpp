#include "platform/sim/sim_platform.h"

#include <utility>

namespace zub {

SimPlatform::SimPlatform() {
    clipboard.setChangeListener([this] { viewerChain.notifyChange(); });
}

Services SimPlatform::services() {
    return Services{clipboard, viewerChain, hotKey, dialogs, files, shell};
}

void SimPlatform::copyFromOtherProgram(std::string bytes) {
    clipboard.setOtherProgramText(std::move(bytes));
    viewerChain.notifyChange();
}

} // namespace zub
