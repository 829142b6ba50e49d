#pragma once

#include "platform/dialogs.h"

#include <QString>

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zub {

// Dialogs answered from a script that the test writes beforehand. Each kind of dialog takes the
// next answer from its own queue; when the queue is empty the user cancels. Every call is
// recorded with what the program passed.
class SimDialogs : public Dialogs {
public:
    using Path = std::filesystem::path;

    struct InputBoxCall {
        QString caption;
        QString prompt;
        std::string initial;
        std::size_t maxBytes = 0;
    };
    struct MessageCall {
        QString caption;
        QString text;
        MessageIcon icon = MessageIcon::Error;
    };

    std::optional<Path> openFile(QWidget* owner, const FileDialogOptions& options) override;
    std::optional<Path> saveFile(QWidget* owner, const FileDialogOptions& options) override;
    std::optional<std::string> inputBox(QWidget* owner, const QString& caption,
                                        const QString& prompt, std::string_view initial,
                                        std::size_t maxBytes) override;
    void message(QWidget* owner, const QString& caption, const QString& text,
                 MessageIcon icon) override;

    // The next answers; std::nullopt is Cancel.
    void answerOpenFile(std::optional<Path> answer) { m_openAnswers.push_back(std::move(answer)); }
    void answerSaveFile(std::optional<Path> answer) { m_saveAnswers.push_back(std::move(answer)); }
    void answerInputBox(std::optional<std::string> answer) {
        m_inputAnswers.push_back(std::move(answer));
    }
    // Answers scripted but not yet asked for.
    std::size_t pendingAnswers() const {
        return m_openAnswers.size() + m_saveAnswers.size() + m_inputAnswers.size();
    }

    const std::vector<FileDialogOptions>& openFileCalls() const { return m_openCalls; }
    const std::vector<FileDialogOptions>& saveFileCalls() const { return m_saveCalls; }
    const std::vector<InputBoxCall>& inputBoxCalls() const { return m_inputCalls; }
    const std::vector<MessageCall>& messages() const { return m_messages; }

    // Runs while a message is shown (after it is recorded), for a look at the state at that moment.
    std::function<void()> onMessage;

private:
    template <typename T> static std::optional<T> next(std::deque<std::optional<T>>& queue);

    std::deque<std::optional<Path>> m_openAnswers;
    std::deque<std::optional<Path>> m_saveAnswers;
    std::deque<std::optional<std::string>> m_inputAnswers;
    std::vector<FileDialogOptions> m_openCalls;
    std::vector<FileDialogOptions> m_saveCalls;
    std::vector<InputBoxCall> m_inputCalls;
    std::vector<MessageCall> m_messages;
};

} // namespace zub
