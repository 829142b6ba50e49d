#pragma once

#include "platform/xdg/selection_content.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include <xcb/xcb.h>

class QSocketNotifier;

namespace zub {

// Reads the CLIPBOARD selection of other programs without ever waiting on them.
//
// On X11 the content of a copy stays in the program that copied it: reading it means asking that
// program and waiting for its answer, which QClipboard does in a blocking loop of up to five
// seconds. A program that has hung would freeze the window for that long on every copy. This
// reader has an X connection of its own, hears of every change of the selection's owner through
// XFixes, and asks the new owner for its targets, then its text and its best picture, each as an
// event-driven exchange (large answers arrive in INCR chunks). When all answers are in, the
// content is handed on; changes are handed on in the order they happened, and an owner that does
// not answer in time is given up with nothing handed on.
class X11SelectionReader : public QObject {
    Q_OBJECT
public:
    using Delivery = std::function<void(SelectionContent)>;

    // Connects to the display named by $DISPLAY. Without one the reader stays inactive. The
    // current owner's content is read at once, as if it had just copied.
    explicit X11SelectionReader(Delivery deliver);
    ~X11SelectionReader() override;
    X11SelectionReader(const X11SelectionReader&) = delete;
    X11SelectionReader& operator=(const X11SelectionReader&) = delete;

    bool isActive() const { return m_connection != nullptr; }
    // No change is waiting for its owner's answers.
    bool isIdle() const { return m_fetches.empty(); }
    // Runs once each time the last waiting change has been handed on or given up.
    void setIdleHandler(std::function<void()> handler) { m_idleHandler = std::move(handler); }

    // The program itself has just taken the selection (or given it up): its own ownership is no
    // change to read, and whatever other owners were still being asked is out of date. Returns
    // whether that left changes unread (the idle handler is not run for them).
    bool ownWriteDone();

    // How long an owner may take over one answer.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Content larger than this is not read (the owner is asked for it, and the answer dropped).
    static constexpr std::size_t kMaxBytes = std::size_t(1) << 30;

private:
    enum class Stage { Targets, Hint, Text, Image };
    struct Fetch {
        std::uint32_t time = 0;
        std::uint32_t property = 0;
        Stage stage = Stage::Targets;
        std::uint32_t requested = 0; // the target asked for at this stage
        bool incremental = false;
        bool done = false;
        bool failed = false;
        QByteArray incoming;
        std::uint32_t textTarget = 0;
        std::uint32_t imageTarget = 0;
        std::uint32_t hintTarget = 0;
        SelectionContent content;
        std::chrono::steady_clock::time_point deadline;
    };

    void readEvents();
    void handle(xcb_generic_event_t* event);
    void ownerChanged(std::uint32_t time);
    void selectionArrived(std::uint32_t property, std::uint32_t target, std::uint32_t time);
    void chunkArrived(std::uint32_t property);
    void request(Fetch& fetch, Stage stage, std::uint32_t target);
    void stageFinished(Fetch& fetch, bool answered, std::uint32_t type, QByteArray data);
    void targetsArrived(Fetch& fetch, const QByteArray& data);
    void nextStage(Fetch& fetch);
    void finish(Fetch& fetch, bool failed);
    void deliverReady();
    void checkDeadlines();
    void armTimer();

    std::uint32_t atom(const char* name);
    QByteArray atomName(std::uint32_t atom);
    std::uint32_t freeProperty();
    Fetch* fetchFor(std::uint32_t property);

    Delivery m_deliver;
    std::function<void()> m_idleHandler;
    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_window = 0;
    std::uint8_t m_xfixesEvent = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_timer;
    std::chrono::milliseconds m_timeout{2000};
    std::deque<Fetch> m_fetches;
    std::set<std::uint32_t> m_ownWindows;
    std::vector<std::uint32_t> m_properties;
    std::size_t m_nextProperty = 0;
    std::map<std::uint32_t, QByteArray> m_atomNames;
    // Atoms used on every change.
    std::uint32_t m_clipboard = 0, m_targets = 0, m_incr = 0, m_utf8 = 0, m_string = 0, m_text = 0,
                  m_textPlainUtf8 = 0, m_hint = 0;
};

} // namespace zub
