#include "grab/tform5.h"

#include "grab/frozen_picture.h"
#include "grab/rubber_band.h"
#include "grab/selected_picture.h"
#include "platform/clipboard.h"
#include "platform/screen.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

namespace zub {

TForm5::TForm5(Screen& screen, Clipboard& clipboard, HandlerGuard guard, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_clipboard(clipboard), m_guard(std::move(guard)) {
    setObjectName(QStringLiteral("Form5"));
    // Nothing refers to a closed selector again, so its frozen screen goes with it.
    setAttribute(Qt::WA_DeleteOnClose);
    Image1 = new FrozenPicture(runRubberBand(), this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->move(0, 0);
    Image1->installEventFilter(this);
    FormCreate(screen);
}

void TForm5::FormCreate(Screen& screen) {
    QImage frozen = screen.grab();
    // The window lies over the primary screen so that its points are the screen's points.
    const QScreen* primary = QGuiApplication::primaryScreen();
    setGeometry(QRect(primary ? primary->geometry().topLeft() : QPoint(),
                      frozen.deviceIndependentSize().toSize()));
    Image1->setPicture(std::move(frozen));
    screen.beep();
}

bool TForm5::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Image1) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // The second press of a double click is a press like the first.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const Qt::MouseButton button = mouse->button();
        const PixelPoint at = Image1->pixelAt(mouse->position());
        m_guard([=, this] { Image1MouseDown(button, at); });
        return true;
    }
    case QEvent::MouseMove: {
        const PixelPoint at = Image1->pixelAt(static_cast<QMouseEvent*>(event)->position());
        m_guard([=, this] { Image1MouseMove(at); });
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_guard([this] { Image1MouseUp(); });
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void TForm5::Image1MouseDown(Qt::MouseButton button, PixelPoint at) {
    if (button != Qt::LeftButton) return;
    RubberBand& band = runRubberBand();
    const SelectionRect before = band.rect();
    band.press(at);
    Image1->outlineMoved(before);
}

void TForm5::Image1MouseMove(PixelPoint at) {
    RubberBand& band = runRubberBand();
    const SelectionRect before = band.rect();
    if (band.moveTo(at)) Image1->outlineMoved(before);
}

void TForm5::Image1MouseUp() {
    RubberBand& band = runRubberBand();
    band.release();
    Image1->outlineMoved(band.rect());
    const QImage picture = selectedPicture(Image1->picture(), band.rect());
    {
        // One change for the clipboard's viewers: emptied and filled in one opening. When the
        // clipboard cannot be opened the selector stays, and the next release tries again.
        ClipboardWrite write(m_clipboard);
        m_clipboard.empty();
        m_clipboard.setBitmap(picture);
    }
    showOwner();
    close();
}

void TForm5::closeEvent(QCloseEvent* event) {
    // However the selector goes (a window manager can close it too), the owner, which the grab
    // may have hidden, comes back.
    showOwner();
    QWidget::closeEvent(event);
}

void TForm5::showOwner() {
    QWidget* owner = parentWidget();
    if (!owner) return;
    owner->show();
    owner->raise();
    owner->activateWindow();
}

} // namespace zub
