# Tests of the screen grab: the region selector's core (unit), the command and the selector on
# the simulated screen (gui), and the real program on a private X server (e2e).
add_executable(grab_unit_tests
    unit/gui_application_main.cpp
    unit/region_selection_test.cpp
)
target_link_libraries(grab_unit_tests PRIVATE zub_grab GTest::gtest)
gtest_discover_tests(grab_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60
                     ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

zub_gui_test(screen_grab_test)

add_executable(grab_e2e_tests e2e/screen_grab_e2e_test.cpp)
target_link_libraries(grab_e2e_tests PRIVATE zub_app zub_platform_x11 zub_e2e_main Qt6::Test)
gtest_discover_tests(grab_e2e_tests PROPERTIES LABELS e2e TIMEOUT 120 DISCOVERY_TIMEOUT 60)
