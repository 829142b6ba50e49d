// What the user waits for in a screen grab, in the real program on a private 1920 × 1080 X
// server: from the timer's tick until the region selector shows the frozen screen and the event
// loop is idle again; from the release of the mouse button until the program owns the clipboard
// with the picture, as another program sees it.

#include "app/tform1.h"
#include "grab/frozen_picture.h"
#include "grab/tform5.h"
#include "platform/memory.h"
#include "platform/x11/x11_platform.h"
#include "xvfb_session.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using namespace zub;
using Clock = std::chrono::steady_clock;

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until `widget` has been painted while shown and the loop is about to wait
// for the next event; returns that moment.
Clock::time_point paintedAndIdle(QWidget* widget) {
    struct Watch : QObject {
        QWidget* widget = nullptr;
        bool painted = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && widget->window()->windowHandle()->isExposed())
                painted = true;
            return false;
        }
    } watch;
    watch.widget = widget;
    widget->installEventFilter(&watch);
    QEventLoop loop;
    Clock::time_point done{};
    const auto connection = QObject::connect(QAbstractEventDispatcher::instance(),
                                             &QAbstractEventDispatcher::aboutToBlock, [&] {
                                                 if (done == Clock::time_point{} && watch.painted) {
                                                     done = Clock::now();
                                                     loop.quit();
                                                 }
                                             });
    QTimer::singleShot(30'000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    widget->removeEventFilter(&watch);
    return done == Clock::time_point{} ? Clock::now() : done;
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Another program on the display: it can take the clipboard and ask who owns it.
class OtherProgram {
public:
    OtherProgram() : m_connection(xcb_connect(nullptr, nullptr)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const char name[] = "CLIPBOARD";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr);
        m_clipboard = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(atom);
    }
    ~OtherProgram() { xcb_disconnect(m_connection); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    void takeClipboard() {
        xcb_set_selection_owner(m_connection, m_window, m_clipboard, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }
    // Whether the clipboard's owner is someone else now.
    bool clipboardTakenBack() {
        xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, m_clipboard), nullptr);
        const bool taken = reply && reply->owner != m_window && reply->owner != XCB_WINDOW_NONE;
        std::free(reply);
        return taken;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_window = 0;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
};

struct Program {
    X11Platform platform;
    std::unique_ptr<TForm1> form;

    Program() {
        form = std::make_unique<TForm1>(platform.services());
        form->setGeometry(200, 150, 900, 640);
        form->show();
        settle(300);
    }
    TForm5* selector() const {
        for (TForm5* s : form->findChildren<TForm5*>())
            if (s->isVisible()) return s;
        return nullptr;
    }
    // The command: the window hides, and the delay would start.
    void command() {
        form->action(QStringLiteral("Action21"))->trigger();
        form->timer1()->stop();
        settle(50);
    }
    void dismiss() {
        if (TForm5* s = selector()) s->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settle(50);
    }
};

// Made on first use, inside the QApplication, and gone before it.
std::unique_ptr<Program> g_program;

Program& program() {
    if (!g_program) g_program = std::make_unique<Program>();
    return *g_program;
}

// The screen service's grab alone, with the window already hidden.
void BM_ScreenGrab(benchmark::State& state) {
    Program& p = program();
    p.command();
    for (auto _ : state) {
        QImage frozen = p.platform.screen.grab();
        benchmark::DoNotOptimize(frozen);
    }
    p.dismiss();
}
BENCHMARK(BM_ScreenGrab)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_TickToSelectorShown(benchmark::State& state) {
    Program& p = program();
    double created = 0;
    for (auto _ : state) {
        state.PauseTiming();
        p.command();
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        p.form->guard([&] { p.form->Timer1Timer(); });
        TForm5* selector = p.selector();
        if (!selector) {
            state.SkipWithError("no selector");
            break;
        }
        // Of which the tick's handler itself: the grab, the selector made and shown.
        created += milliseconds(Clock::now() - start);
        state.SetIterationTime(milliseconds(paintedAndIdle(selector->image1()) - start) / 1e3);
        state.PauseTiming();
        p.dismiss();
        state.ResumeTiming();
    }
    state.counters["handler_ms"] = benchmark::Counter(created, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TickToSelectorShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void sendMouse(QWidget* to, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), to->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// range(0): 1 = a rectangle of 800 × 600, 0 = a click, which takes the whole screen.
void BM_ReleaseToClipboardOwned(benchmark::State& state) {
    Program& p = program();
    OtherProgram other;
    const bool drag = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        other.takeClipboard();
        p.command();
        p.form->guard([&] { p.form->Timer1Timer(); });
        TForm5* selector = p.selector();
        if (!selector) {
            state.SkipWithError("no selector");
            break;
        }
        paintedAndIdle(selector->image1());
        QWidget* image1 = selector->image1();
        sendMouse(image1, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
        if (drag) {
            sendMouse(image1, QEvent::MouseMove, {500, 400}, Qt::LeftButton);
            sendMouse(image1, QEvent::MouseMove, {900, 700}, Qt::LeftButton);
        }
        settle(20);
        state.ResumeTiming();

        const Clock::time_point start = Clock::now();
        sendMouse(image1, QEvent::MouseButtonRelease, drag ? QPoint(900, 700) : QPoint(100, 100),
                  Qt::NoButton);
        while (!other.clipboardTakenBack()) QCoreApplication::processEvents();
        state.SetIterationTime(milliseconds(Clock::now() - start) / 1e3);

        state.PauseTiming();
        p.dismiss();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReleaseToClipboardOwned)
    ->Arg(1)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    zub::settleMemoryPolicy(); // as main() does
    zub::e2e::XvfbSession display("1920x1080x24");
    if (!display.isRunning()) {
        std::fprintf(stderr, "grab_latency: no virtual display: %s\n", display.problem().c_str());
        return 1;
    }
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_program.reset();
    benchmark::Shutdown();
    return 0;
}
