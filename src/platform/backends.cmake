# Backends of the platform services. Paths are relative to src/.

# The real one: Qt for the dialogs and for serving the program's own copies, xcb for the global
# hot key, for reading other programs' copies and for grabbing the screen (MIT-SHM).
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-keysyms xcb-xfixes xcb-shm)
target_sources(zub_platform PRIVATE
    platform/x11/input_box.cpp
    platform/x11/name_filters.cpp
    platform/x11/picture_preview_pane.cpp
    platform/x11/picture_preview_window.cpp
    platform/x11/picture_view.cpp
    platform/x11/posix_system_files.cpp
    platform/x11/qt_dialogs.cpp
    platform/x11/x11_screen.cpp
    platform/x11/shell_target.cpp
    platform/x11/x11_clipboard.cpp
    platform/x11/x11_hot_key.cpp
    platform/x11/x11_selection_reader.cpp
    platform/x11/x11_shell.cpp
    platform/x11/x11_viewer_chain.cpp
)
target_link_libraries(zub_platform PRIVATE PkgConfig::XCB)

# The simulated one, for tests: in memory, deterministic, with the Windows semantics.
add_library(zub_platform_sim STATIC
    platform/sim/sim_clipboard.cpp
    platform/sim/sim_dialogs.cpp
    platform/sim/sim_hot_key.cpp
    platform/sim/sim_platform.cpp
    platform/sim/sim_screen.cpp
    platform/sim/sim_shell.cpp
    platform/sim/sim_system_files.cpp
    platform/sim/sim_viewer_chain.cpp
)
target_link_libraries(zub_platform_sim PUBLIC zub_platform)
