#pragma once

#include "platform/wayland/own_selection_server.h"
#include "platform/xdg/selection_content.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;

namespace zub {

// What happened on the clipboard, as the session tells it from its thread. `generation` is the
// one of the program's last write that the session had taken in when it happened.
struct DataControlEvent {
    enum class Kind {
        Began,   // another program copied; its content is being read
        Read,    // ...and here it is (in the order the copies were made)
        GaveUp,  // ...or its owner did not serve it in time
        Emptied, // the clipboard became empty without a write of the program (its owner quit)
    };
    Kind kind;
    std::uint64_t generation = 0;
    SelectionContent content;
};

// The clipboard through the data-control protocol, on a Wayland connection and a thread of its
// own: the compositor tells it of every copy in any program, with or without a window or the
// focus, and it may set the clipboard itself. Another program's copy is read from a pipe its
// owner writes into; an owner that has hung holds up only this thread, and only until the
// timeout, so the window never waits on another program. Each copy is read to its end (an owner
// such as wl-copy may quit when its reader closes early), one at a time, in order.
class DataControlSession {
public:
    // Called on the session's thread.
    using Listener = std::function<void(DataControlEvent)>;

    // Connects to the compositor that WAYLAND_DISPLAY names. Without one, or when it offers no
    // data-control, the session is not active. The current content is being read when this
    // returns (see beganAtStart).
    explicit DataControlSession(Listener listener);
    ~DataControlSession();
    DataControlSession(const DataControlSession&) = delete;
    DataControlSession& operator=(const DataControlSession&) = delete;

    bool isActive() const { return m_active; }
    // How many copies were being read when the constructor returned; no Began was told of them.
    int beganAtStart() const { return m_beganAtStart; }

    // Makes `content` the clipboard (empty content empties it). Copies of other programs not
    // told yet are given up; what happens later is told with `generation`.
    void publish(std::shared_ptr<const OwnContent> content, std::uint64_t generation);

    // How long an owner may take to serve the next bytes of its copy.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeoutMs = int(timeout.count()); }

    // Whether the compositor that WAYLAND_DISPLAY names offers data-control (a short connection
    // of its own).
    static bool compositorOffersDataControl();

    // The protocol's events, as its listeners deliver them.
    void globalAdded(wl_registry* registry, std::uint32_t name, const char* interface,
                     std::uint32_t version);
    void offerCreated(zwlr_data_control_offer_v1* offer);
    void offerType(zwlr_data_control_offer_v1* offer, const char* type);
    void selectionChanged(zwlr_data_control_offer_v1* offer);
    void primarySelectionChanged(zwlr_data_control_offer_v1* offer);
    void deviceFinished();

private:
    enum class Stage { Hint, Text, Image, Done };
    struct Fetch {
        zwlr_data_control_offer_v1* offer = nullptr;
        std::vector<std::string> types;
        std::string hintType, textType, imageType;
        Stage stage = Stage::Hint;
        int fd = -1;
        QByteArray incoming;
        bool overLimit = false;
        bool superseded = false;
        std::chrono::steady_clock::time_point deadline;
        SelectionContent content;
    };
    struct Command {
        std::shared_ptr<const OwnContent> content;
        std::uint64_t generation;
    };

    void run();
    void pollOnce();
    void takeCommands();
    void tell(DataControlEvent::Kind kind, SelectionContent content = {});
    void startStage(Fetch& fetch);
    void readPipe();
    void stageFinished(Fetch& fetch, bool answered);
    void finishFront(bool gaveUp);
    void dropFetches();
    void checkDeadlines();

    Listener m_listener;
    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    zwlr_data_control_manager_v1* m_manager = nullptr;
    zwlr_data_control_device_v1* m_device = nullptr;
    std::map<zwlr_data_control_offer_v1*, std::vector<std::string>> m_offers;
    std::deque<Fetch> m_fetches;
    std::unique_ptr<OwnSelectionServer> m_server = std::make_unique<OwnSelectionServer>();
    std::atomic<int> m_timeoutMs{2000};
    std::uint64_t m_generation = 0;
    int m_beganAtStart = 0;
    std::atomic<bool> m_active{false};
    bool m_started = false;

    int m_wake = -1;
    std::mutex m_mutex;
    std::vector<Command> m_commands;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

} // namespace zub
