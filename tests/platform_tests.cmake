# Tests of the platform backends (unit: simulated; e2e: x11 under Xvfb).

add_executable(platform_unit_tests
    unit/dialog_filter_test.cpp
    unit/sim_clipboard_test.cpp
    unit/sim_dialogs_test.cpp
    unit/shell_target_test.cpp
    unit/sim_hot_key_test.cpp
    unit/sim_shell_test.cpp
    unit/sim_viewer_chain_test.cpp
    unit/hidden_files_test.cpp
    unit/run_child_test.cpp
    unit/system_files_test.cpp
)
target_link_libraries(platform_unit_tests PRIVATE zub_platform_sim zub_platform_xdg GTest::gtest GTest::gtest_main)
gtest_discover_tests(platform_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

pkg_check_modules(XCB_TEST REQUIRED IMPORTED_TARGET xcb xcb-keysyms)

# The end-to-end harness: a private X server and the tools that play the other programs.
add_library(zub_e2e_harness STATIC
    e2e/x11_tools.cpp
    e2e/xvfb_session.cpp
)
target_include_directories(zub_e2e_harness PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
# Plays the programs that own the clipboard in ways xclip cannot: secret, silent, slow, busy.
add_executable(selection_owner e2e/selection_owner.cpp)
target_link_libraries(selection_owner PRIVATE PkgConfig::XCB_TEST)
add_dependencies(zub_e2e_harness selection_owner)
target_compile_definitions(zub_e2e_harness PRIVATE
    ZUB_SELECTION_OWNER="$<TARGET_FILE:selection_owner>")
target_link_libraries(zub_e2e_harness PUBLIC Qt6::Core GTest::gtest)
# main() for e2e test programs: the display first, then a QApplication on it.
add_library(zub_e2e_main STATIC e2e/e2e_main.cpp)
target_link_libraries(zub_e2e_main PUBLIC zub_e2e_harness Qt6::Widgets)

add_executable(platform_e2e_tests
    e2e/x11_clipboard_e2e_test.cpp
    e2e/x11_dialogs_e2e_test.cpp
    e2e/x11_hot_key_e2e_test.cpp
    e2e/x11_screen_e2e_test.cpp
    e2e/x11_viewer_chain_e2e_test.cpp
)
target_link_libraries(platform_e2e_tests PRIVATE zub_platform_x11 zub_e2e_main Qt6::Test
                      PkgConfig::XCB_TEST)
# Each test runs in a process of its own, with a server of its own.
gtest_discover_tests(platform_e2e_tests PROPERTIES LABELS e2e TIMEOUT 120 DISCOVERY_TIMEOUT 60)

# The installed program: installs the build into a temporary prefix and runs bin/zub from there.
add_executable(installed_program_e2e_tests e2e/installed_program_e2e_test.cpp)
target_link_libraries(installed_program_e2e_tests PRIVATE zub_app zub_platform_sim zub_e2e_main
                      Qt6::Test)
target_compile_definitions(installed_program_e2e_tests PRIVATE
    ZUB_CMAKE_COMMAND="${CMAKE_COMMAND}" ZUB_BUILD_DIR="${PROJECT_BINARY_DIR}"
    ZUB_VERSION="${PROJECT_VERSION}")
add_dependencies(installed_program_e2e_tests zub zub_icons)
gtest_discover_tests(installed_program_e2e_tests PROPERTIES LABELS e2e TIMEOUT 120
                     DISCOVERY_TIMEOUT 60)
