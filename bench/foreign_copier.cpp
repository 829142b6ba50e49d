#include "foreign_copier.h"

#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace zub::bench {
namespace {

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : XCB_NONE;
    std::free(r);
    return atom;
}

} // namespace

ForeignCopier::ForeignCopier() {
    m_connection = xcb_connect(nullptr, nullptr);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    m_clipboard = intern(m_connection, "CLIPBOARD");
    m_targets = intern(m_connection, "TARGETS");
    m_thread = std::thread([this] { serve(); });
}

ForeignCopier::~ForeignCopier() {
    m_stop = true;
    m_thread.join();
    xcb_disconnect(m_connection);
}

void ForeignCopier::copy(const std::string& bytes, const char* target) {
    const xcb_atom_t atom = intern(m_connection, target);
    {
        std::lock_guard lock(m_mutex);
        m_bytes = bytes;
        m_target = atom;
    }
    xcb_set_selection_owner(m_connection, m_window, m_clipboard, XCB_CURRENT_TIME);
    xcb_flush(m_connection);
}

void ForeignCopier::serve() {
    const int fd = xcb_get_file_descriptor(m_connection);
    while (!m_stop) {
        xcb_generic_event_t* event = xcb_poll_for_event(m_connection);
        if (!event) {
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, 5);
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
            auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event);
            xcb_atom_t property = request->property ? request->property : request->target;
            std::lock_guard lock(m_mutex);
            if (request->target == m_targets) {
                const std::vector<xcb_atom_t> offered = {m_targets, m_target};
                xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request->requestor,
                                    property, XCB_ATOM_ATOM, 32, 2, offered.data());
            } else if (request->target == m_target) {
                // In one piece: a few megabytes fit in one request of the big-requests extension.
                xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request->requestor,
                                    property, m_target, 8, static_cast<uint32_t>(m_bytes.size()),
                                    m_bytes.data());
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
            xcb_send_event(m_connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&notify));
            xcb_flush(m_connection);
        }
        std::free(event);
    }
}

} // namespace zub::bench
