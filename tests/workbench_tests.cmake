# Tests of the workbench: its cores (unit), the window's commands (gui) and the real shell (e2e).

add_executable(workbench_unit_tests
    unit/block_byte_counts_test.cpp
    unit/go_command_test.cpp
    unit/replace_all_test.cpp
    unit/text_search_test.cpp
    unit/word_prefix_search_test.cpp
    unit/workbench_commands_test.cpp
    unit/workbench_document_test.cpp
)
target_link_libraries(workbench_unit_tests PRIVATE zub_workbench zub_platform_sim GTest::gtest
                      GTest::gtest_main)
gtest_discover_tests(workbench_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

zub_gui_test(go_commands_test)

# Go with the real shell service on a private X server.
add_executable(go_e2e_tests e2e/go_e2e_test.cpp)
target_link_libraries(go_e2e_tests PRIVATE zub_app zub_platform_x11 zub_e2e_main Qt6::Test)
gtest_discover_tests(go_e2e_tests PROPERTIES LABELS e2e TIMEOUT 120 DISCOVERY_TIMEOUT 60)
zub_gui_test(workbench_edit_test)
zub_gui_test(workbench_test)
zub_gui_test(search_test)

# The workbench with the real keyboard, file dialog and shell on a private X server.
add_executable(workbench_e2e_tests e2e/workbench_e2e_test.cpp)
target_link_libraries(workbench_e2e_tests PRIVATE zub_app zub_platform_x11 zub_e2e_main Qt6::Test)
gtest_discover_tests(workbench_e2e_tests PROPERTIES LABELS e2e TIMEOUT 120 DISCOVERY_TIMEOUT 60)

# Find with the real keyboard and clipboard on a private X server.
add_executable(search_e2e_tests e2e/search_e2e_test.cpp)
target_link_libraries(search_e2e_tests PRIVATE zub_app zub_platform_x11 zub_e2e_main Qt6::Test)
gtest_discover_tests(search_e2e_tests PROPERTIES LABELS e2e TIMEOUT 120 DISCOVERY_TIMEOUT 60)
