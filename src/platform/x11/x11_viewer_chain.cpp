#include "platform/x11/x11_viewer_chain.h"

#include <QClipboard>
#include <QGuiApplication>

namespace zub {

X11ViewerChain::~X11ViewerChain() {
    for (auto& [viewer, connection] : m_subscriptions) QObject::disconnect(connection);
}

ViewerHandle X11ViewerChain::join(ClipboardViewer& viewer) {
    if (!m_subscriptions.contains(&viewer)) {
        m_subscriptions.emplace(
            &viewer, QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged,
                                      [&viewer] { viewer.clipboardChanged(); }));
    }
    // Windows tells a new viewer of the current content before SetClipboardViewer returns, and
    // manual capture rests on that.
    viewer.clipboardChanged();
    return 0;
}

void X11ViewerChain::leave(ClipboardViewer& viewer, ViewerHandle) {
    if (const auto it = m_subscriptions.find(&viewer); it != m_subscriptions.end()) {
        QObject::disconnect(it->second);
        m_subscriptions.erase(it);
    }
}

} // namespace zub
