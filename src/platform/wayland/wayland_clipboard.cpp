#include "platform/wayland/wayland_clipboard.h"

#include <QMetaObject>

namespace zub {

WaylandClipboard::WaylandClipboard() {
    m_session = std::make_unique<DataControlSession>([this](DataControlEvent event) {
        QMetaObject::invokeMethod(
            &m_receiver, [this, event = std::move(event)]() mutable { handle(std::move(event)); },
            Qt::QueuedConnection);
    });
    m_pending = m_session->beganAtStart();
}

WaylandClipboard::~WaylandClipboard() {
    // Stops the thread before the receiver, whose queue may still hold its events, goes.
    m_session.reset();
}

std::shared_ptr<const OwnContent> WaylandClipboard::keptContent() const {
    auto content = std::make_shared<OwnContent>();
    content->text = keptText();
    if (!encodedImage().isEmpty()) {
        content->encodedImage = encodedImage();
        content->encodedImageType = encodedImageType();
    } else {
        content->image = decodedImage();
    }
    return content;
}

bool WaylandClipboard::publish() {
    const bool gaveUpReading = m_pending > 0;
    m_pending = 0;
    m_session->publish(keptContent(), ++m_generation);
    return gaveUpReading;
}

void WaylandClipboard::handle(DataControlEvent event) {
    // What the session saw before it took in the program's last write is out of date.
    if (event.generation != m_generation) return;
    switch (event.kind) {
    case DataControlEvent::Kind::Began:
        ++m_pending;
        break;
    case DataControlEvent::Kind::Read:
        --m_pending;
        foreignChange(std::move(event.content));
        if (m_pending == 0) settledNow();
        break;
    case DataControlEvent::Kind::GaveUp:
        if (--m_pending == 0) settledNow();
        break;
    case DataControlEvent::Kind::Emptied:
        // The owner quit: the copy kept of its content goes back on the clipboard, as the
        // program's own; nothing changed for the viewers. A secret was never kept.
        if (offersText() || offersBitmap()) {
            if (publish()) settledNow();
        }
        break;
    }
}

} // namespace zub
