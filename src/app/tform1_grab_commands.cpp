// Handlers of the screen grab: the command waits the chosen delay on Timer1, whose tick shows
// the region selector over a frozen copy of the screen.

#include "app/tform1.h"
#include "grab/tform5.h"
#include "platform/error.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QScopeGuard>
#include <QTimer>

namespace zub {

void TForm1::connectGrabCommands() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    // Qt's default timer may fire 5 % early or late, a quarter of a second at five seconds; the
    // user counts on the delay to get a menu open in time.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(action(QStringLiteral("Action21")), &QAction::triggered, this,
            [this] { guard([this] { Action21Execute(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { guard([this] { Timer1Timer(); }); });
}

void TForm1::Action21Execute() {
    if (CheckBox2->isChecked()) hide();
    // Nothing chosen keeps the delay of the last grab (one second at first). Setting the
    // interval of a running timer starts its countdown again, so the same delay is not set.
    if (const QString delay = ComboBox4->currentText(); !delay.isEmpty()) {
        const int interval = delay.toInt() * 1000;
        if (interval != Timer1->interval()) Timer1->setInterval(interval);
    }
    if (!Timer1->isActive()) Timer1->start();
    if (Timer1->timerId() <= 0) {
        // No selector will come to bring the window back.
        show();
        throw Error("Not enough timers available");
    }
}

void TForm1::Timer1Timer() {
    Timer1->stop();
    TForm5* selector = nullptr;
    // A grab that fails must not leave the program without a window on the screen.
    const auto comeBack = qScopeGuard([&] {
        if (!selector) show();
    });
    selector = new TForm5(
        m_services.screen, m_services.clipboard,
        [this](const std::function<void()>& handler) { guard(handler); }, this);
    selector->showFullScreen();
}

} // namespace zub
