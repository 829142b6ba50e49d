#pragma once

#include "platform/clipboard.h"

#include <QImage>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zub {

// An in-memory clipboard that behaves like the Windows one: writing replaces every format, text
// is a NUL-terminated byte string, and another program can hold it open so that every call that
// opens it fails while the format queries still answer.
class SimClipboard : public Clipboard {
public:
    bool offersText() const override;
    bool offersBitmap() const override;
    std::string readText() override;
    QImage readBitmap() override;
    void empty() override;
    void setText(std::string_view bytes) override;
    void setBitmap(const QImage& image) override;

    // Another program puts this content on the clipboard (replacing everything). The viewer chain
    // is not told; SimPlatform::copyFromOtherProgram does both.
    void setOtherProgramText(std::string bytes);
    void setOtherProgramBitmap(QImage image);
    void setOtherProgramContent(std::optional<std::string> text, std::optional<QImage> image);

    // While held open by another program, opening the clipboard fails.
    void holdOpen(bool held);
    bool isHeldOpen() const { return m_heldOpen; }

    // The content as it stands, whoever wrote it.
    const std::optional<std::string>& text() const { return m_text; }
    const std::optional<QImage>& bitmap() const { return m_bitmap; }
    // How many times the program changed the clipboard (empty, setText, setBitmap).
    int writeCount() const { return m_writeCount; }

    // Runs after each change the program makes, as the system then tells the viewer chain.
    void setChangeListener(std::function<void()> listener);

private:
    void open() const;
    void programChanged();

    std::optional<std::string> m_text;
    std::optional<QImage> m_bitmap;
    bool m_heldOpen = false;
    int m_writeCount = 0;
    std::function<void()> m_changeListener;
};

} // namespace zub
