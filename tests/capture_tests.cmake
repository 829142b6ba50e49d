# Picture capture: the picture step of a clipboard change, in the window and on a real X server.
zub_gui_test(picture_capture_test)

add_executable(capture_e2e_tests e2e/picture_capture_e2e_test.cpp)
target_link_libraries(capture_e2e_tests PRIVATE zub_app zub_platform_x11 zub_e2e_main Qt6::Test)
gtest_discover_tests(capture_e2e_tests PROPERTIES LABELS e2e TIMEOUT 120 DISCOVERY_TIMEOUT 60)
