# Tests of the workbench: its cores (unit), the window's commands (gui) and the real shell (e2e).

add_executable(workbench_unit_tests unit/go_command_test.cpp)
target_link_libraries(workbench_unit_tests PRIVATE zub_workbench zub_platform_sim GTest::gtest
                      GTest::gtest_main)
gtest_discover_tests(workbench_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)

zub_gui_test(go_commands_test)
