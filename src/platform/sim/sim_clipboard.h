#pragma once

#include "platform/clipboard.h"

#include <QImage>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zub {

// An in-memory clipboard with the program-facing behaviour of the real one: writing replaces
// every format, text is a NUL-terminated byte string, writes between open() and close() are one
// change announced at close(), and another program can hold it open so that every call that
// opens it fails while the format queries still answer.
//
// Like the X11 clipboard, it can also hold a change by a slow program whose content has not
// arrived yet: nothing is announced, and the content stays the previous one, until the program
// answers or is given up.
class SimClipboard : public Clipboard {
public:
    bool offersText() const override;
    bool offersBitmap() const override;
    bool isSecret() const override;
    std::string readText() override;
    QImage readBitmap() override;
    void open() override;
    void close() override;
    void empty() override;
    void setText(std::string_view bytes) override;
    void setBitmap(const QImage& image) override;

    // Another program puts this content on the clipboard (replacing everything). The viewer chain
    // is not told; SimPlatform::copyFromOtherProgram does both.
    void setOtherProgramText(std::string bytes);
    void setOtherProgramBitmap(QImage image);
    void setOtherProgramContent(std::optional<std::string> text, std::optional<QImage> image,
                                bool secret = false);

    // Another program copies, and the change listener hears of it once the content has been
    // read. A slow program's content is read only at answerSlowCopy(), or never
    // (giveUpSlowCopy()); copies after it wait their turn. A write by the program itself
    // overtakes copies still waiting, which are then dropped.
    void copyByOtherProgram(std::optional<std::string> text, std::optional<QImage> image,
                            bool secret, bool slow);
    void answerSlowCopy();
    void giveUpSlowCopy();
    bool isSettled() const { return m_waiting.empty(); }

    // While held open by another program, opening the clipboard fails.
    void holdOpen(bool held);
    bool isHeldOpen() const { return m_heldOpen; }

    // The content as it stands, whoever wrote it.
    const std::optional<std::string>& text() const { return m_text; }
    const std::optional<QImage>& bitmap() const { return m_bitmap; }
    // How many changes the program made (each close() after a write counts once).
    int writeCount() const { return m_writeCount; }

    // Runs after each change the program makes, as the system then tells the viewer chain.
    void setChangeListener(std::function<void()> listener);
    // Runs when a slow copy has been answered or given up.
    void setSettledListener(std::function<void()> listener);

private:
    struct WaitingCopy {
        std::optional<std::string> text;
        std::optional<QImage> bitmap;
        bool secret = false;
        bool answered = false;
        bool givenUp = false;
    };

    void checkOpenable() const;
    void replace(std::optional<std::string> text, std::optional<QImage> image);
    WaitingCopy* firstUnanswered();
    void deliverReady();

    std::optional<std::string> m_text;
    std::optional<QImage> m_bitmap;
    bool m_secret = false;
    std::deque<WaitingCopy> m_waiting;
    bool m_heldOpen = false;
    int m_openCount = 0;
    bool m_written = false;
    int m_writeCount = 0;
    std::function<void()> m_changeListener;
    std::function<void()> m_settledListener;
};

} // namespace zub
