#include "window_watch.h"

#include <QAbstractEventDispatcher>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

namespace zub::bench {

Clock::time_point paintedAndIdle(QWidget* painted, const std::function<bool()>& ready) {
    struct Watch : QObject {
        std::function<bool()> ready;
        bool paintedWhenReady = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && ready()) paintedWhenReady = true;
            return false;
        }
    } watch;
    watch.ready = ready;
    painted->installEventFilter(&watch);
    QEventLoop loop;
    Clock::time_point done{};
    auto* dispatcher = QAbstractEventDispatcher::instance();
    const auto connection =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
            if (done == Clock::time_point{} && watch.paintedWhenReady) {
                done = Clock::now();
                loop.quit();
            }
        });
    QTimer::singleShot(30'000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    painted->removeEventFilter(&watch);
    return done == Clock::time_point{} ? Clock::now() : done;
}

} // namespace zub::bench
