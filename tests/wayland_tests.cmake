# The program on a private headless sway, with the Wayland backend (label wayland).

# Plays the programs that copy in ways wl-copy cannot: several types, secret, silent.
add_executable(data_control_owner e2e/data_control_owner.cpp)
target_link_libraries(data_control_owner PRIVATE zub_wayland_protocols)

# The harness: a private sway and the tools that play the other programs.
add_library(zub_wayland_harness STATIC e2e/sway_session.cpp e2e/wayland_tools.cpp)
target_include_directories(zub_wayland_harness PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
target_link_libraries(zub_wayland_harness PUBLIC zub_e2e_harness Qt6::Core)
target_compile_definitions(zub_wayland_harness PRIVATE
    ZUB_DATA_CONTROL_OWNER="$<TARGET_FILE:data_control_owner>")
add_dependencies(zub_wayland_harness data_control_owner)
# main() for Wayland test programs: the compositor first, then a QApplication on it.
add_library(zub_wayland_e2e_main STATIC e2e/wayland_e2e_main.cpp)
target_link_libraries(zub_wayland_e2e_main PUBLIC zub_wayland_harness Qt6::Widgets)

add_executable(wayland_e2e_tests e2e/wayland_program_e2e_test.cpp)
target_link_libraries(wayland_e2e_tests PRIVATE zub_app zub_platform_wayland zub_wayland_e2e_main
                      Qt6::Test)
target_compile_definitions(wayland_e2e_tests PRIVATE ZUB_PROGRAM="$<TARGET_FILE:zub>")
add_dependencies(wayland_e2e_tests zub)
# Each test runs in a process of its own, with a compositor of its own. Under the sanitizers the
# allocations are unwound slowly: libwayland has no frame pointers, and the fast unwinder stops
# there, before the library that leaks (see tests/sanitizers/lsan.supp).
set(wayland_test_environment)
if(ZUB_SANITIZE)
    set(wayland_test_environment ENVIRONMENT
        "ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1:allow_addr2line=1:fast_unwind_on_malloc=0")
endif()
gtest_discover_tests(wayland_e2e_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES LABELS wayland TIMEOUT 120 ${wayland_test_environment})

# The hot key through the desktop portal, against a portal played on a private session bus.
add_executable(portal_hot_key_test unit/portal_hot_key_test.cpp)
target_link_libraries(portal_hot_key_test PRIVATE zub_platform_wayland Qt6::DBus Qt6::Test)
set_target_properties(portal_hot_key_test PROPERTIES AUTOMOC ON)
add_test(NAME portal_hot_key_test COMMAND portal_hot_key_test)
set_tests_properties(portal_hot_key_test PROPERTIES LABELS unit TIMEOUT 60)
