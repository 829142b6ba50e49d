#include "platform/sim/sim_platform.h"

#include <utility>

namespace zub {

SimPlatform::SimPlatform() {
    clipboard.setChangeListener([this] { viewerChain.notifyChange(); });
    clipboard.setSettledListener([this] { viewerChain.releaseJoinNotices(); });
    viewerChain.holdJoinNoticesWhile([this] { return !clipboard.isSettled(); });
}

Services SimPlatform::services() {
    return Services{clipboard, viewerChain, hotKey, dialogs, files, shell, clock, screen};
}

void SimPlatform::copyFromOtherProgram(std::string bytes) {
    copyFromOtherProgram(std::move(bytes), std::nullopt);
}

void SimPlatform::copyFromOtherProgram(std::optional<std::string> text, std::optional<QImage> image,
                                       bool secret) {
    clipboard.copyByOtherProgram(std::move(text), std::move(image), secret, false);
}

void SimPlatform::copyFromSlowProgram(std::string bytes) {
    clipboard.copyByOtherProgram(std::move(bytes), std::nullopt, false, true);
}

void SimPlatform::slowProgramAnswers() {
    clipboard.answerSlowCopy();
}

void SimPlatform::slowProgramGivenUp() {
    clipboard.giveUpSlowCopy();
}

} // namespace zub
