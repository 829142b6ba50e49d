#include "platform/x11/x11_selection_reader.h"

#include <QImageReader>
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace zub {
namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> reply(T* raw) {
    return Reply<T>(raw, &std::free);
}

// Lossless formats first: the picture is saved as a bitmap later and should not pass through a
// lossy one when the owner offers a choice.
const char* const kPreferredImageTypes[] = {
    "image/png",      "image/bmp",  "image/x-bmp",
    "image/x-MS-bmp", "image/tiff", "image/x-portable-pixmap",
    "image/gif",      "image/jpeg", "image/webp"};

} // namespace

X11SelectionReader::X11SelectionReader(Delivery deliver) : m_deliver(std::move(deliver)) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection) xcb_disconnect(connection);
        return;
    }
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_xfixesEvent = xfixes->first_event;
    // The extension answers nothing before the client has told it which version it speaks.
    std::free(xcb_xfixes_query_version_reply(
        connection,
        xcb_xfixes_query_version(connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr));

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 1; ++i) xcb_screen_next(&screens);
    m_window = xcb_generate_id(connection);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, m_window, screens.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);

    m_clipboard = atom("CLIPBOARD");
    m_targets = atom("TARGETS");
    m_incr = atom("INCR");
    m_utf8 = atom("UTF8_STRING");
    m_string = XCB_ATOM_STRING;
    m_text = atom("TEXT");
    m_textPlainUtf8 = atom("text/plain;charset=utf-8");
    m_hint = atom("x-kde-passwordManagerHint");
    // A few properties to take in turn (see freeProperty).
    for (int i = 0; i < 4; ++i)
        m_properties.push_back(atom(("ZUB_SELECTION_" + std::to_string(i)).c_str()));

    xcb_xfixes_select_selection_input(connection, m_window, m_clipboard,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection),
                                                   QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11SelectionReader::readEvents);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &X11SelectionReader::checkDeadlines);

    if (auto owner = reply(xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, m_clipboard), nullptr));
        owner && owner->owner != XCB_NONE)
        ownerChanged(XCB_CURRENT_TIME);
    xcb_flush(connection);
}

X11SelectionReader::~X11SelectionReader() {
    m_notifier.reset();
    if (m_connection) xcb_disconnect(m_connection);
}

bool X11SelectionReader::ownWriteDone() {
    if (!m_connection) return false;
    if (auto owner = reply(xcb_get_selection_owner_reply(
            m_connection, xcb_get_selection_owner(m_connection, m_clipboard), nullptr));
        owner && owner->owner != XCB_NONE)
        m_ownWindows.insert(owner->owner);
    const bool wasWaiting = !m_fetches.empty();
    // Late answers to these find no fetch and are thrown away.
    m_fetches.clear();
    // Waiting for the reply may have queued events that the socket will not announce again.
    QTimer::singleShot(0, this, &X11SelectionReader::readEvents);
    armTimer();
    return wasWaiting;
}

void X11SelectionReader::readEvents() {
    if (!m_connection) return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        handle(event);
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection)) {
        // The display went away; nothing more will change.
        m_notifier.reset();
        m_fetches.clear();
        return;
    }
    xcb_flush(m_connection);
}

void X11SelectionReader::handle(xcb_generic_event_t* event) {
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == m_xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY) {
        const auto* notice = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
        // An owner that gave up the selection or quit leaves nothing new to read: the copy taken
        // when it copied stays the clipboard's content, as it would on a system that keeps it.
        if (notice->selection == m_clipboard && notice->owner != XCB_NONE &&
            !m_ownWindows.contains(notice->owner))
            ownerChanged(notice->selection_timestamp);
    } else if (type == XCB_SELECTION_NOTIFY) {
        const auto* notice = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
        if (notice->requestor == m_window)
            selectionArrived(notice->property, notice->target, notice->time);
    } else if (type == XCB_PROPERTY_NOTIFY) {
        const auto* notice = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (notice->window == m_window && notice->state == XCB_PROPERTY_NEW_VALUE)
            chunkArrived(notice->atom);
    }
}

void X11SelectionReader::ownerChanged(std::uint32_t time) {
    Fetch fetch;
    fetch.time = time;
    fetch.property = freeProperty();
    m_fetches.push_back(std::move(fetch));
    request(m_fetches.back(), Stage::Targets, m_targets);
}

void X11SelectionReader::request(Fetch& fetch, Stage stage, std::uint32_t target) {
    fetch.stage = stage;
    fetch.requested = target;
    fetch.incremental = false;
    fetch.incoming.clear();
    fetch.deadline = std::chrono::steady_clock::now() + m_timeout;
    xcb_convert_selection(m_connection, m_window, m_clipboard, target, fetch.property, fetch.time);
    xcb_flush(m_connection);
    armTimer();
}

void X11SelectionReader::selectionArrived(std::uint32_t property, std::uint32_t target,
                                          std::uint32_t time) {
    if (property == XCB_NONE) {
        // The owner refused; the answer names no property, so find the fetch by what it asked.
        for (Fetch& fetch : m_fetches) {
            if (!fetch.done && !fetch.incremental && fetch.requested == target &&
                (fetch.time == time || time == XCB_CURRENT_TIME)) {
                stageFinished(fetch, false, XCB_NONE, {});
                return;
            }
        }
        return;
    }
    Fetch* fetch = fetchFor(property);
    auto value = reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 1, m_window, property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                         std::numeric_limits<std::uint32_t>::max() / 4),
        nullptr));
    if (!fetch || fetch->done || fetch->incremental) return;
    if (!value) {
        stageFinished(*fetch, false, XCB_NONE, {});
        return;
    }
    if (value->type == m_incr) {
        // Deleting the property (done by the read) tells the owner to send the first chunk.
        fetch->incremental = true;
        fetch->deadline = std::chrono::steady_clock::now() + m_timeout;
        armTimer();
        return;
    }
    const int length = xcb_get_property_value_length(value.get());
    stageFinished(
        *fetch, true, value->type,
        QByteArray(static_cast<const char*>(xcb_get_property_value(value.get())), length));
}

void X11SelectionReader::chunkArrived(std::uint32_t property) {
    Fetch* fetch = fetchFor(property);
    if (!fetch || fetch->done || !fetch->incremental) return;
    auto value = reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 1, m_window, property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                         std::numeric_limits<std::uint32_t>::max() / 4),
        nullptr));
    if (!value) {
        stageFinished(*fetch, false, XCB_NONE, {});
        return;
    }
    const int length = xcb_get_property_value_length(value.get());
    if (length == 0) {
        // The empty chunk ends the transfer. Content over the limit was received and dropped.
        fetch->incremental = false;
        if (fetch->requested == XCB_NONE)
            stageFinished(*fetch, false, XCB_NONE, {});
        else
            stageFinished(*fetch, true, value->type, std::move(fetch->incoming));
        return;
    }
    fetch->deadline = std::chrono::steady_clock::now() + m_timeout;
    armTimer();
    if (static_cast<std::size_t>(fetch->incoming.size()) + static_cast<std::size_t>(length) >
        kMaxBytes) {
        // Go on taking the chunks so the owner finishes, but keep none of them.
        fetch->requested = XCB_NONE;
        fetch->incoming.clear();
        return;
    }
    if (fetch->requested != XCB_NONE)
        fetch->incoming.append(static_cast<const char*>(xcb_get_property_value(value.get())),
                               length);
}

void X11SelectionReader::stageFinished(Fetch& fetch, bool answered, std::uint32_t type,
                                       QByteArray data) {
    switch (fetch.stage) {
    case Stage::Targets:
        if (answered)
            targetsArrived(fetch, data);
        else
            fetch.textTarget = m_utf8; // an owner of the old school: ask for text blindly
        break;
    case Stage::Hint:
        if (answered && data.trimmed() == "secret") {
            fetch.content.secret = true;
            finish(fetch, false);
            return;
        }
        break;
    case Stage::Text:
        if (!answered) break;
        if (type == m_utf8 || type == m_textPlainUtf8 || fetch.requested == m_textPlainUtf8)
            fetch.content.text = QString::fromUtf8(data);
        else if (type == m_string)
            fetch.content.text = QString::fromLatin1(data);
        break;
    case Stage::Image:
        if (answered && !data.isEmpty()) {
            fetch.content.image = std::move(data);
            fetch.content.imageType = atomName(fetch.requested);
        }
        break;
    }
    nextStage(fetch);
}

void X11SelectionReader::targetsArrived(Fetch& fetch, const QByteArray& data) {
    std::vector<std::uint32_t> offered(static_cast<std::size_t>(data.size()) / 4);
    if (!offered.empty()) std::memcpy(offered.data(), data.constData(), offered.size() * 4);
    auto has = [&offered](std::uint32_t a) {
        return a != XCB_NONE && std::ranges::find(offered, a) != offered.end();
    };
    if (has(m_hint)) fetch.hintTarget = m_hint;
    for (const std::uint32_t candidate : {m_utf8, m_textPlainUtf8, m_string, m_text}) {
        if (has(candidate)) {
            fetch.textTarget = candidate;
            break;
        }
    }
    // Pictures: the first preferred type on offer, else any other type Qt can read.
    std::map<QByteArray, std::uint32_t> images;
    for (const std::uint32_t a : offered) {
        if (a == m_utf8 || a == m_string || a == m_text || a == m_targets || a == m_hint) continue;
        const QByteArray name = atomName(a);
        if (name.startsWith("image/")) images.emplace(name.toLower(), a);
    }
    for (const char* type : kPreferredImageTypes) {
        if (const auto it = images.find(QByteArray(type).toLower()); it != images.end()) {
            fetch.imageTarget = it->second;
            return;
        }
    }
    const QList<QByteArray> readable = QImageReader::supportedMimeTypes();
    for (const auto& [name, a] : images) {
        if (readable.contains(name)) {
            fetch.imageTarget = a;
            return;
        }
    }
}

void X11SelectionReader::nextStage(Fetch& fetch) {
    // Each stage is asked for only when the owner offered it; the order is fixed.
    if (fetch.stage == Stage::Targets && fetch.hintTarget) {
        request(fetch, Stage::Hint, fetch.hintTarget);
    } else if ((fetch.stage == Stage::Targets || fetch.stage == Stage::Hint) && fetch.textTarget) {
        request(fetch, Stage::Text, fetch.textTarget);
    } else if (fetch.stage != Stage::Image && fetch.imageTarget) {
        request(fetch, Stage::Image, fetch.imageTarget);
    } else {
        finish(fetch, false);
    }
}

void X11SelectionReader::finish(Fetch& fetch, bool failed) {
    fetch.done = true;
    fetch.failed = failed;
    deliverReady();
}

void X11SelectionReader::deliverReady() {
    bool handedOn = false;
    // Changes go out in the order they happened: a quick owner waits for a slow one before it.
    while (!m_fetches.empty() && m_fetches.front().done) {
        Fetch fetch = std::move(m_fetches.front());
        m_fetches.pop_front();
        handedOn = true;
        if (!fetch.failed && m_deliver) m_deliver(std::move(fetch.content));
    }
    if (handedOn && m_fetches.empty() && m_idleHandler) m_idleHandler();
}

void X11SelectionReader::checkDeadlines() {
    // An answer may be waiting unread while this program was busy: only an owner that has not
    // answered by now is late.
    readEvents();
    const auto now = std::chrono::steady_clock::now();
    for (Fetch& fetch : m_fetches) {
        if (!fetch.done && fetch.deadline <= now) {
            fetch.done = true;
            fetch.failed = true;
        }
    }
    deliverReady();
    armTimer();
}

void X11SelectionReader::armTimer() {
    auto next = std::chrono::steady_clock::time_point::max();
    for (const Fetch& fetch : m_fetches)
        if (!fetch.done) next = std::min(next, fetch.deadline);
    if (next == std::chrono::steady_clock::time_point::max()) {
        m_timer.stop();
        return;
    }
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
        next - std::chrono::steady_clock::now());
    m_timer.start(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(1)));
}

std::uint32_t X11SelectionReader::atom(const char* name) {
    auto answer = reply(xcb_intern_atom_reply(
        m_connection,
        xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return answer ? answer->atom : XCB_NONE;
}

QByteArray X11SelectionReader::atomName(std::uint32_t a) {
    if (const auto it = m_atomNames.find(a); it != m_atomNames.end()) return it->second;
    QByteArray name;
    if (auto answer = reply(
            xcb_get_atom_name_reply(m_connection, xcb_get_atom_name(m_connection, a), nullptr)))
        name = QByteArray(xcb_get_atom_name_name(answer.get()),
                          xcb_get_atom_name_name_length(answer.get()));
    m_atomNames.emplace(a, name);
    return name;
}

std::uint32_t X11SelectionReader::freeProperty() {
    // Taken in turn rather than the first free one, so that a late answer for a fetch given up
    // lands on a property no newer fetch is using yet.
    for (std::size_t tried = 0; tried < m_properties.size(); ++tried) {
        m_nextProperty = (m_nextProperty + 1) % m_properties.size();
        if (!fetchFor(m_properties[m_nextProperty])) return m_properties[m_nextProperty];
    }
    const std::string name = "ZUB_SELECTION_" + std::to_string(m_properties.size());
    m_properties.push_back(atom(name.c_str()));
    m_nextProperty = m_properties.size() - 1;
    return m_properties.back();
}

X11SelectionReader::Fetch* X11SelectionReader::fetchFor(std::uint32_t property) {
    for (Fetch& fetch : m_fetches)
        if (fetch.property == property) return &fetch;
    return nullptr;
}

} // namespace zub
