# Tests of the entry and bulk command cores.
add_executable(command_unit_tests
    unit/bulk_commands_test.cpp
    unit/clip_list_bulk_test.cpp
    unit/edit_box_completion_test.cpp
    unit/entry_commands_test.cpp
    unit/recent_list_test.cpp
)
target_link_libraries(command_unit_tests PRIVATE zub_cliplist GTest::gtest GTest::gmock
                      GTest::gtest_main)
gtest_discover_tests(command_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)
