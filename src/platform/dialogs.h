#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace zub {

struct FileDialogOptions {
    QString title;
    // Windows-style filter: description|patterns|description|patterns, e.g.
    // "Zub文档(*.zub)|*.zub|所有文档(*.*)|*.*".
    QString filter;
    QString initialFolder;
    // Without the dot; a name typed without an extension gets it.
    QString defaultExtension;
    // Save dialogs: ask before replacing an existing file.
    bool confirmOverwrite = false;
    // Picture dialogs: a preview pane beside the file list shows what this gives for the
    // selected file, a null image meaning that it holds no picture that can be shown.
    std::function<QImage(const std::filesystem::path&)> preview = nullptr;
};

enum class MessageIcon { Error, Warning, Information, Question };

// Modal dialogs, so that tests can answer them from a script.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual std::optional<std::filesystem::path> openFile(QWidget* owner,
                                                          const FileDialogOptions& options) = 0;
    virtual std::optional<std::filesystem::path> saveFile(QWidget* owner,
                                                          const FileDialogOptions& options) = 0;
    // A one-line text field with OK and Cancel, pre-filled with `initial` (code-page bytes) and
    // accepting at most `maxBytes` bytes of typing. The field's text on OK; nullopt on Cancel or
    // when the box is closed.
    virtual std::optional<std::string> inputBox(QWidget* owner, const QString& caption,
                                                const QString& prompt, std::string_view initial,
                                                std::size_t maxBytes) = 0;
    // One OK button.
    virtual void message(QWidget* owner, const QString& caption, const QString& text,
                         MessageIcon icon) = 0;
};

} // namespace zub
