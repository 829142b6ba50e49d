// Plays a program that copies on a Wayland desktop, in ways wl-copy cannot, through data-control
// (so it needs no window): several types at once, the password manager's secret hint, an owner
// that never answers. It prints "owned" once its copy is the clipboard, then serves it until
// another copy replaces it (then it prints "replaced" and ends, unless silent: a program that has
// hung does not end either) or it is stopped.
//
//   data_control_owner [--type TYPE]... [--secret] [--silent] [--file PATH] TEXT
//
// Each --type is offered with TEXT as its bytes (default: the usual UTF-8 text types); --file
// serves that file's bytes instead; --silent takes every request and never writes nor closes.

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <unistd.h>
#include <wayland-client.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Owner {
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    std::string bytes;
    bool secret = false;
    bool silent = false;
    bool replaced = false;
    std::vector<int> heldFds;
};

void writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += std::size_t(n);
    }
}

const wl_registry_listener kRegistry = {
    [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
       std::uint32_t) {
        auto* o = static_cast<Owner*>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && !o->seat)
            o->seat =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
            o->manager = static_cast<zwlr_data_control_manager_v1*>(
                wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
    },
    [](void*, wl_registry*, std::uint32_t) {},
};

const zwlr_data_control_source_v1_listener kSource = {
    [](void* data, zwlr_data_control_source_v1*, const char* type, int fd) {
        auto* o = static_cast<Owner*>(data);
        std::printf("asked %s\n", type);
        std::fflush(stdout);
        if (std::strcmp(type, "x-kde-passwordManagerHint") == 0) {
            writeAll(fd, "secret");
        } else if (o->silent) {
            o->heldFds.push_back(fd);
            return;
        } else {
            writeAll(fd, o->bytes);
        }
        ::close(fd);
    },
    [](void* data, zwlr_data_control_source_v1*) { static_cast<Owner*>(data)->replaced = true; },
};

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    Owner owner;
    std::vector<std::string> types;
    std::string file;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
        if (std::strcmp(argv[i], "--type") == 0 && i + 1 < argc)
            types.emplace_back(argv[++i]);
        else if (std::strcmp(argv[i], "--file") == 0 && i + 1 < argc)
            file = argv[++i];
        else if (std::strcmp(argv[i], "--secret") == 0)
            owner.secret = true;
        else if (std::strcmp(argv[i], "--silent") == 0)
            owner.silent = true;
        else
            return 2;
    }
    if (i < argc) owner.bytes = argv[i];
    if (!file.empty()) {
        std::ifstream in(file, std::ios::binary);
        owner.bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (types.empty()) types = {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING"};

    wl_display* display = wl_display_connect(nullptr);
    if (!display) return 1;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistry, &owner);
    wl_display_roundtrip(display);
    if (!owner.seat || !owner.manager) return 1;
    zwlr_data_control_device_v1* device =
        zwlr_data_control_manager_v1_get_data_device(owner.manager, owner.seat);
    zwlr_data_control_source_v1* source =
        zwlr_data_control_manager_v1_create_data_source(owner.manager);
    zwlr_data_control_source_v1_add_listener(source, &kSource, &owner);
    for (const std::string& type : types) zwlr_data_control_source_v1_offer(source, type.c_str());
    if (owner.secret) zwlr_data_control_source_v1_offer(source, "x-kde-passwordManagerHint");
    zwlr_data_control_device_v1_set_selection(device, source);
    wl_display_roundtrip(display);
    std::printf("owned\n");
    std::fflush(stdout);
    while ((!owner.replaced || owner.silent) && wl_display_dispatch(display) >= 0) {
    }
    std::printf("replaced\n");
    std::fflush(stdout);
    return 0;
}
