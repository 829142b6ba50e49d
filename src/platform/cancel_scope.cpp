#include "platform/child_process.h"

namespace zub {
namespace {

thread_local const std::atomic<bool>* t_cancelFlag = nullptr;

} // namespace

const std::atomic<bool>* currentCancelFlag() {
    return t_cancelFlag;
}

CancelScope::CancelScope(const std::atomic<bool>* flag) : m_previous(t_cancelFlag) {
    t_cancelFlag = flag;
}

CancelScope::~CancelScope() {
    t_cancelFlag = m_previous;
}

} // namespace zub
