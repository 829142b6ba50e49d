// Another program on the test display that owns the CLIPBOARD selection and behaves as told:
// like a password manager (it marks its copy secret), like a program that has hung (it never
// answers), like a slow one, or like a busy user copying many texts in a row.
//
//   selection_owner [--secret] [--delay-ms N] [--never-answer]
//                   [--count N --interval-ms M] [--png FILE] TEXT
//
// It serves TEXT as UTF8_STRING, STRING and text/plain;charset=utf-8, and with --png the bytes
// of FILE (a small one: they go in one piece) as image/png beside it (with --count, the texts
// TEXT-1 … TEXT-N, taking the selection anew for each). Each text is owned from a server time
// stamp on, and a request is answered with the text that was owned at the request's time, as a
// sequence of separate programs would answer while each still runs; a reader that falls behind
// a fast sequence still sees every text. It prints "owned" on a line of its own once it owns the
// selection for the first time, "done" when the last text of a sequence is taken, and exits
// when another program takes the selection after that.

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Options {
    bool secret = false;
    bool neverAnswer = false;
    int delayMs = 0;
    int count = 0;
    int intervalMs = 20;
    std::string png;
    std::string text;
};

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : XCB_NONE;
    std::free(r);
    return atom;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--secret")
            o.secret = true;
        else if (a == "--never-answer")
            o.neverAnswer = true;
        else if (a == "--delay-ms" && i + 1 < argc)
            o.delayMs = std::atoi(argv[++i]);
        else if (a == "--count" && i + 1 < argc)
            o.count = std::atoi(argv[++i]);
        else if (a == "--interval-ms" && i + 1 < argc)
            o.intervalMs = std::atoi(argv[++i]);
        else if (a == "--png" && i + 1 < argc) {
            std::ifstream in(argv[++i], std::ios::binary);
            o.png.assign(std::istreambuf_iterator<char>(in), {});
        } else
            o.text = a;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    parse(argc, argv, o);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t clipboard = intern(c, "CLIPBOARD");
    const xcb_atom_t targets = intern(c, "TARGETS");
    const xcb_atom_t utf8 = intern(c, "UTF8_STRING");
    const xcb_atom_t plain = intern(c, "text/plain;charset=utf-8");
    const xcb_atom_t hint = intern(c, "x-kde-passwordManagerHint");
    const xcb_atom_t png = intern(c, "image/png");

    // A server time stamp: the time of a property change on our own window.
    const uint32_t listen = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &listen);
    const xcb_atom_t stampProperty = intern(c, "ZUB_TEST_STAMP");
    std::vector<xcb_generic_event_t*> early;
    auto serverTime = [&]() -> xcb_timestamp_t {
        xcb_change_property(c, XCB_PROP_MODE_APPEND, window, stampProperty, XCB_ATOM_STRING, 8, 0,
                            nullptr);
        xcb_flush(c);
        for (;;) {
            xcb_generic_event_t* e = xcb_wait_for_event(c);
            if (!e) return XCB_CURRENT_TIME;
            if ((e->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const xcb_timestamp_t t = reinterpret_cast<xcb_property_notify_event_t*>(e)->time;
                std::free(e);
                return t;
            }
            early.push_back(e); // handled in the main loop
        }
    };
    struct Owned {
        xcb_timestamp_t since;
        std::string text;
    };
    std::vector<Owned> history;
    auto take = [&](std::string text) {
        // A time stamp of its own for each text, even when a late sequence catches up in a burst:
        // two texts owned from the same millisecond could not be told apart.
        xcb_timestamp_t now = serverTime();
        while (!history.empty() && now <= history.back().since) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            now = serverTime();
        }
        history.push_back(Owned{now, std::move(text)});
        xcb_set_selection_owner(c, window, clipboard, now);
        xcb_flush(c);
    };
    auto textAt = [&](xcb_timestamp_t time) -> const std::string& {
        if (time == XCB_CURRENT_TIME) return history.back().text;
        for (auto it = history.rbegin(); it != history.rend(); ++it)
            if (it->since <= time) return it->text;
        return history.front().text;
    };

    int taken = 1;
    take(o.count > 0 ? o.text + "-1" : o.text);
    std::printf("owned\n");
    if (o.count <= 1) std::printf("done\n");
    std::fflush(stdout);

    auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(o.intervalMs);
    const int fd = xcb_get_file_descriptor(c);
    for (;;) {
        if (o.count > 0 && taken < o.count) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= next) {
                ++taken;
                take(o.text + "-" + std::to_string(taken));
                if (taken == o.count) {
                    std::printf("done\n");
                    std::fflush(stdout);
                }
                next += std::chrono::milliseconds(o.intervalMs);
            }
        }
        xcb_generic_event_t* event = nullptr;
        if (!early.empty()) {
            event = early.front();
            early.erase(early.begin());
        } else {
            event = xcb_poll_for_event(c);
        }
        if (!event) {
            if (xcb_connection_has_error(c)) return 0;
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, 2);
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_CLEAR && (o.count == 0 || taken >= o.count)) {
            std::free(event);
            return 0;
        }
        if (type == XCB_SELECTION_REQUEST && !o.neverAnswer) {
            auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event);
            if (o.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o.delayMs));
            xcb_atom_t property = request->property ? request->property : request->target;
            if (request->target == targets) {
                std::vector<xcb_atom_t> offered = {targets, utf8, XCB_ATOM_STRING, plain};
                if (o.secret) offered.push_back(hint);
                if (!o.png.empty()) offered.push_back(png);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                    XCB_ATOM_ATOM, 32, static_cast<uint32_t>(offered.size()),
                                    offered.data());
            } else if (request->target == utf8 || request->target == XCB_ATOM_STRING ||
                       request->target == plain) {
                const std::string& text = textAt(request->time);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                    request->target, 8, static_cast<uint32_t>(text.size()),
                                    text.data());
            } else if (request->target == png && !o.png.empty()) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property, png, 8,
                                    static_cast<uint32_t>(o.png.size()), o.png.data());
            } else if (request->target == hint && o.secret) {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                    XCB_ATOM_STRING, 8, 6, "secret");
            } else {
                property = XCB_NONE;
            }
            xcb_selection_notify_event_t notify{};
            notify.response_type = XCB_SELECTION_NOTIFY;
            notify.time = request->time;
            notify.requestor = request->requestor;
            notify.selection = request->selection;
            notify.target = request->target;
            notify.property = property;
            xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&notify));
            xcb_flush(c);
        }
        std::free(event);
    }
}
