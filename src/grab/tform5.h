#pragma once

#include "grab/selection_rect.h"

#include <QWidget>

#include <functional>

namespace zub {

class Clipboard;
class FrozenPicture;
class Screen;

// The region selector: a borderless window over the whole primary screen, always on top,
// showing the screen as it was when the selector was made. The user drags a rectangle with the
// left button; the release of any button puts that part of the frozen screen (all of it, for a
// rectangle that covers no pixel) on the clipboard, brings the owner back and closes the
// selector, which releases it.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    // Runs a handler the way the owner runs its own: an error ends it and is shown.
    using HandlerGuard = std::function<void(const std::function<void()>&)>;

    // Freezes the screen at once; showing the selector is the caller's.
    TForm5(Screen& screen, Clipboard& clipboard, HandlerGuard guard, QWidget* owner);

    FrozenPicture* image1() const { return Image1; }

    void Image1MouseDown(Qt::MouseButton button, PixelPoint at);
    void Image1MouseMove(PixelPoint at);
    void Image1MouseUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(Screen& screen);
    void showOwner();

    Clipboard& m_clipboard;
    HandlerGuard m_guard;
    FrozenPicture* Image1 = nullptr;
};

} // namespace zub
