#include "platform/wayland/data_control_session.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QImageReader>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace zub {
namespace {

// Content larger than this is read to its end and dropped.
constexpr qsizetype kMaxBytes = qsizetype(1) << 30;
constexpr std::uint32_t kDataControlVersion = 2;
constexpr std::size_t kReadChunk = 1 << 16;

const char* const kHintType = "x-kde-passwordManagerHint";
// UTF-8 first; "text/plain" without a charset is what Qt and GTK also read as UTF-8 here.
const char* const kTextTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "TEXT",
                                  "STRING"};
// Lossless formats first: the picture is saved as a bitmap later and should not pass through a
// lossy one when the owner offers a choice.
const char* const kPreferredImageTypes[] = {
    "image/png",      "image/bmp",  "image/x-bmp",
    "image/x-MS-bmp", "image/tiff", "image/x-portable-pixmap",
    "image/gif",      "image/jpeg", "image/webp"};

bool has(const std::vector<std::string>& types, const std::string& type) {
    return std::ranges::find(types, type) != types.end();
}

QString decodeText(const std::string& type, const QByteArray& bytes) {
    // The X11 type STRING is Latin-1; every other text type here is UTF-8.
    return type == "STRING" ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

std::string imageTypeOf(const std::vector<std::string>& types) {
    std::map<QByteArray, std::string> images;
    for (const std::string& type : types)
        if (type.starts_with("image/"))
            images.emplace(QByteArray::fromStdString(type).toLower(), type);
    for (const char* preferred : kPreferredImageTypes)
        if (const auto it = images.find(QByteArray(preferred).toLower()); it != images.end())
            return it->second;
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    for (const auto& [lower, type] : images)
        if (readable.contains(lower)) return type;
    return {};
}

const wl_registry_listener kRegistryListener = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t version) {
        static_cast<DataControlSession*>(data)->globalAdded(registry, name, interface, version);
    },
    [](void*, wl_registry*, std::uint32_t) {},
};

const zwlr_data_control_offer_v1_listener kOfferListener = {
    [](void* data, zwlr_data_control_offer_v1* offer, const char* type) {
        static_cast<DataControlSession*>(data)->offerType(offer, type);
    },
};

const zwlr_data_control_device_v1_listener kDeviceListener = {
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
        static_cast<DataControlSession*>(data)->offerCreated(offer);
    },
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
        static_cast<DataControlSession*>(data)->selectionChanged(offer);
    },
    [](void* data, zwlr_data_control_device_v1*) {
        static_cast<DataControlSession*>(data)->deviceFinished();
    },
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
        static_cast<DataControlSession*>(data)->primarySelectionChanged(offer);
    },
};

} // namespace

bool DataControlSession::compositorOffersDataControl() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return false;
    struct Found {
        bool manager = false;
        bool seat = false;
    } found;
    const wl_registry_listener listener = {
        [](void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
            auto* f = static_cast<Found*>(data);
            if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
                f->manager = true;
            if (std::strcmp(interface, wl_seat_interface.name) == 0) f->seat = true;
        },
        [](void*, wl_registry*, std::uint32_t) {},
    };
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &found);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return found.manager && found.seat;
}

DataControlSession::DataControlSession(Listener listener) : m_listener(std::move(listener)) {
    // Writing into the pipe of a reader that has gone away must cost an error code, not the
    // program.
    std::signal(SIGPIPE, SIG_IGN);
    m_display = wl_display_connect(nullptr);
    if (!m_display) return;
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    wl_display_roundtrip(m_display);
    if (!m_manager || !m_seat) return;
    m_device = zwlr_data_control_manager_v1_get_data_device(m_manager, m_seat);
    zwlr_data_control_device_v1_add_listener(m_device, &kDeviceListener, this);
    m_active = true;
    // The current content arrives as a selection event; it is counted, not told.
    wl_display_roundtrip(m_display);
    m_beganAtStart = int(m_fetches.size());
    m_started = true;
    if (!m_fetches.empty()) startStage(m_fetches.front());
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_thread = std::thread([this] { run(); });
}

DataControlSession::~DataControlSession() {
    if (m_thread.joinable()) {
        m_stopping = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
        m_thread.join();
    }
    if (m_wake >= 0) ::close(m_wake);
    dropFetches();
    for (const auto& [offer, types] : m_offers) zwlr_data_control_offer_v1_destroy(offer);
    if (!m_display) return;
    // Its sources go before the device they were set on.
    m_server.reset();
    if (m_device) zwlr_data_control_device_v1_destroy(m_device);
    if (m_manager) zwlr_data_control_manager_v1_destroy(m_manager);
    if (m_seat) wl_seat_destroy(m_seat);
    if (m_registry) wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

void DataControlSession::publish(std::shared_ptr<const OwnContent> content,
                                 std::uint64_t generation) {
    if (!isActive()) return;
    {
        const std::lock_guard lock(m_mutex);
        m_commands.push_back(Command{std::move(content), generation});
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
}

void DataControlSession::globalAdded(wl_registry* registry, std::uint32_t name,
                                     const char* interface, std::uint32_t version) {
    if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0 && !m_manager) {
        m_manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface,
                             std::min(version, kDataControlVersion)));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !m_seat) {
        // The first seat is the one the user copies in; a desktop with several is rare.
        m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void DataControlSession::offerCreated(zwlr_data_control_offer_v1* offer) {
    m_offers[offer];
    zwlr_data_control_offer_v1_add_listener(offer, &kOfferListener, this);
}

void DataControlSession::offerType(zwlr_data_control_offer_v1* offer, const char* type) {
    if (const auto it = m_offers.find(offer); it != m_offers.end()) it->second.emplace_back(type);
}

void DataControlSession::primarySelectionChanged(zwlr_data_control_offer_v1* offer) {
    // The selection of the middle button is no clipboard of this program's.
    if (!offer) return;
    m_offers.erase(offer);
    zwlr_data_control_offer_v1_destroy(offer);
}

void DataControlSession::deviceFinished() {
    // The seat went away: no more changes will come.
    m_active = false;
    dropFetches();
    zwlr_data_control_device_v1_destroy(m_device);
    m_device = nullptr;
}

void DataControlSession::selectionChanged(zwlr_data_control_offer_v1* offer) {
    // An older copy being read now reads from an offer the compositor has made inert.
    for (Fetch& fetch : m_fetches) fetch.superseded = true;
    if (!offer) {
        tell(DataControlEvent::Kind::Emptied);
        return;
    }
    std::vector<std::string> types;
    if (const auto it = m_offers.find(offer); it != m_offers.end()) {
        types = std::move(it->second);
        m_offers.erase(it);
    }
    if (has(types, OwnSelectionServer::markerType())) {
        // The program's own write, told already when it was made.
        zwlr_data_control_offer_v1_destroy(offer);
        return;
    }
    Fetch fetch;
    fetch.offer = offer;
    if (has(types, kHintType)) fetch.hintType = kHintType;
    for (const char* type : kTextTypes) {
        if (has(types, type)) {
            fetch.textType = type;
            break;
        }
    }
    fetch.imageType = imageTypeOf(types);
    fetch.types = std::move(types);
    m_fetches.push_back(std::move(fetch));
    tell(DataControlEvent::Kind::Began);
    if (m_fetches.size() == 1 && m_started) startStage(m_fetches.front());
}

void DataControlSession::tell(DataControlEvent::Kind kind, SelectionContent content) {
    if (!m_started) return;
    m_listener(DataControlEvent{kind, m_generation, std::move(content)});
}

void DataControlSession::startStage(Fetch& fetch) {
    // Each stage is asked for only when the owner offered it; the order is fixed.
    for (;;) {
        const std::string* type = nullptr;
        if (fetch.stage == Stage::Hint && !fetch.hintType.empty()) type = &fetch.hintType;
        if (fetch.stage == Stage::Text && !fetch.textType.empty()) type = &fetch.textType;
        if (fetch.stage == Stage::Image && !fetch.imageType.empty()) type = &fetch.imageType;
        if (fetch.stage == Stage::Done) {
            finishFront(false);
            return;
        }
        if (!type) {
            fetch.stage = Stage(int(fetch.stage) + 1);
            continue;
        }
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
            finishFront(true);
            return;
        }
        zwlr_data_control_offer_v1_receive(fetch.offer, type->c_str(), fds[1]);
        wl_display_flush(m_display);
        // The request took a duplicate of the writing end; the owner holds the only one left,
        // so the end of the data is the owner closing it.
        ::close(fds[1]);
        fetch.fd = fds[0];
        fetch.incoming.clear();
        fetch.overLimit = false;
        fetch.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timeoutMs);
        return;
    }
}

void DataControlSession::readPipe() {
    if (m_fetches.empty() || m_fetches.front().fd < 0) return;
    Fetch& fetch = m_fetches.front();
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t n = ::read(fetch.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return;
        if (n <= 0) {
            ::close(fetch.fd);
            fetch.fd = -1;
            stageFinished(fetch, n == 0 && !fetch.overLimit);
            return;
        }
        fetch.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timeoutMs);
        if (fetch.overLimit) continue;
        if (fetch.incoming.size() + n > kMaxBytes) {
            // Go on taking the bytes so the owner finishes, but keep none of them.
            fetch.overLimit = true;
            fetch.incoming.clear();
            continue;
        }
        fetch.incoming.append(buffer, n);
    }
}

void DataControlSession::stageFinished(Fetch& fetch, bool answered) {
    // A copy replaced before it was read has lost its owner's answer: nothing came, not even
    // the empty text.
    if (fetch.superseded && fetch.incoming.isEmpty()) {
        finishFront(true);
        return;
    }
    switch (fetch.stage) {
    case Stage::Hint:
        if (answered && fetch.incoming.trimmed() == "secret") {
            fetch.content.secret = true;
            fetch.stage = Stage::Done;
        }
        break;
    case Stage::Text:
        if (answered) fetch.content.text = decodeText(fetch.textType, fetch.incoming);
        break;
    case Stage::Image:
        if (answered && !fetch.incoming.isEmpty()) {
            fetch.content.image = std::move(fetch.incoming);
            fetch.content.imageType = QByteArray::fromStdString(fetch.imageType);
        }
        break;
    case Stage::Done:
        break;
    }
    fetch.incoming.clear();
    if (fetch.stage != Stage::Done) fetch.stage = Stage(int(fetch.stage) + 1);
    startStage(fetch);
}

void DataControlSession::finishFront(bool gaveUp) {
    Fetch fetch = std::move(m_fetches.front());
    m_fetches.pop_front();
    if (fetch.fd >= 0) ::close(fetch.fd);
    zwlr_data_control_offer_v1_destroy(fetch.offer);
    if (gaveUp)
        tell(DataControlEvent::Kind::GaveUp);
    else
        tell(DataControlEvent::Kind::Read, std::move(fetch.content));
    if (!m_fetches.empty()) startStage(m_fetches.front());
}

void DataControlSession::dropFetches() {
    for (Fetch& fetch : m_fetches) {
        if (fetch.fd >= 0) ::close(fetch.fd);
        zwlr_data_control_offer_v1_destroy(fetch.offer);
    }
    m_fetches.clear();
}

void DataControlSession::checkDeadlines() {
    if (m_fetches.empty() || m_fetches.front().fd < 0) return;
    if (m_fetches.front().deadline <= std::chrono::steady_clock::now()) finishFront(true);
}

void DataControlSession::takeCommands() {
    std::vector<Command> commands;
    {
        const std::lock_guard lock(m_mutex);
        commands.swap(m_commands);
    }
    for (Command& command : commands) {
        m_generation = command.generation;
        // The program's write replaces whatever was being read; the window has given it up.
        dropFetches();
        if (m_device) m_server->publish(m_manager, m_device, std::move(command.content));
    }
}

void DataControlSession::run() {
    // So that the thread can be told apart in top and in the benchmarks.
    ::pthread_setname_np(::pthread_self(), "zub-clipboard");
    while (!m_stopping) pollOnce();
}

void DataControlSession::pollOnce() {
    while (wl_display_prepare_read(m_display) != 0) wl_display_dispatch_pending(m_display);
    wl_display_flush(m_display);

    std::vector<pollfd> fds{{wl_display_get_fd(m_display), POLLIN, 0}, {m_wake, POLLIN, 0}};
    const bool reading = !m_fetches.empty() && m_fetches.front().fd >= 0;
    if (reading) fds.push_back({m_fetches.front().fd, POLLIN, 0});
    for (const int fd : m_server->writableFds()) fds.push_back({fd, POLLOUT, 0});

    auto next = m_server->nextDeadline();
    if (reading && (!next || m_fetches.front().deadline < *next)) next = m_fetches.front().deadline;
    int timeout = -1;
    if (next) {
        const auto wait =
            std::chrono::ceil<std::chrono::milliseconds>(*next - std::chrono::steady_clock::now());
        timeout = int(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
    }
    if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
        wl_display_cancel_read(m_display);
        return;
    }
    if (fds[0].revents & POLLIN) {
        wl_display_read_events(m_display);
    } else {
        wl_display_cancel_read(m_display);
    }
    if (fds[0].revents & (POLLERR | POLLHUP) || wl_display_dispatch_pending(m_display) < 0) {
        // The compositor has gone: nothing more will change.
        m_active = false;
        m_stopping = true;
        return;
    }
    if (fds[1].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto got = ::read(m_wake, &count, sizeof count);
        takeCommands();
    }
    readPipe();
    m_server->writeSome();
    m_server->dropStuckReaders();
    checkDeadlines();
}

} // namespace zub
