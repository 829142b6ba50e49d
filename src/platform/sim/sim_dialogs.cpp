#include "platform/sim/sim_dialogs.h"

namespace zub {

template <typename T> std::optional<T> SimDialogs::next(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

std::optional<SimDialogs::Path> SimDialogs::openFile(QWidget*, const FileDialogOptions& options) {
    m_openCalls.push_back(options);
    return next(m_openAnswers);
}

std::optional<SimDialogs::Path> SimDialogs::saveFile(QWidget*, const FileDialogOptions& options) {
    m_saveCalls.push_back(options);
    return next(m_saveAnswers);
}

std::optional<std::string> SimDialogs::inputBox(QWidget*, const QString& caption,
                                                const QString& prompt, std::string_view initial,
                                                std::size_t maxBytes) {
    m_inputCalls.push_back(InputBoxCall{caption, prompt, std::string(initial), maxBytes});
    return next(m_inputAnswers);
}

void SimDialogs::message(QWidget*, const QString& caption, const QString& text, MessageIcon icon) {
    m_messages.push_back(MessageCall{caption, text, icon});
    if (onMessage) onMessage();
}

} // namespace zub
