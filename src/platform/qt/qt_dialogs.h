#pragma once

#include "platform/dialogs.h"

namespace zub {

// The dialogs as Qt's own widgets, not the desktop's native ones, so that they look and behave
// the same on every desktop and can be driven in tests.
class QtDialogs : public Dialogs {
public:
    std::optional<std::filesystem::path> openFile(QWidget* owner,
                                                  const FileDialogOptions& options) override;
    std::optional<std::filesystem::path> saveFile(QWidget* owner,
                                                  const FileDialogOptions& options) override;
    std::optional<std::string> inputBox(QWidget* owner, const QString& caption,
                                        const QString& prompt, std::string_view initial,
                                        std::size_t maxBytes) override;
    void message(QWidget* owner, const QString& caption, const QString& text,
                 MessageIcon icon) override;
};

} // namespace zub
