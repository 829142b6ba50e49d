#include "platform/sim/sim_shell.h"

#include <utility>

namespace zub {

int SimShell::open(std::string_view target) {
    m_requests.emplace_back(target);
    const auto it = m_results.find(target);
    return it == m_results.end() ? m_otherResult : it->second;
}

void SimShell::setResult(std::string target, int result) {
    m_results.insert_or_assign(std::move(target), result);
}

} // namespace zub
