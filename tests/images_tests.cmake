# Tests of the picture codecs. They draw with Qt, so they run with a QGuiApplication offscreen.
add_executable(images_unit_tests
    unit/bmp_reader_test.cpp
    unit/bmp_writer_test.cpp
    unit/gui_application_main.cpp
    unit/ico_reader_test.cpp
    unit/metafile_test.cpp
    unit/picture_files_test.cpp
    unit/picture_test_files.cpp
)
# libwmf and libuemf (which the tests use to build and check metafiles) come through zub_images,
# which links them in the order they need (see src/images/CMakeLists.txt).
target_link_libraries(images_unit_tests PRIVATE zub_images GTest::gtest GTest::gmock)
target_include_directories(images_unit_tests PRIVATE
                           $<TARGET_PROPERTY:PkgConfig::WMF,INTERFACE_INCLUDE_DIRECTORIES>)
gtest_discover_tests(images_unit_tests PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60
                     ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
zub_gui_test(image_pane_test)
zub_gui_test(picture_preview_test)
target_sources(picture_preview_test PRIVATE unit/picture_test_files.cpp)

if(ZUB_FUZZ)
    add_subdirectory(fuzz)
endif()
# Writes the fuzzers' metafile seeds of hostile shapes (see the file).
add_executable(hostile_seeds fuzz/hostile_seeds.cpp unit/picture_test_files.cpp)
target_link_libraries(hostile_seeds PRIVATE zub_images)

# The image page of the program on a private X server.
add_executable(images_e2e_tests e2e/image_pane_e2e_test.cpp)
target_link_libraries(images_e2e_tests PRIVATE zub_app zub_platform_x11 zub_e2e_main Qt6::Test)
gtest_discover_tests(images_e2e_tests PROPERTIES LABELS e2e TIMEOUT 120 DISCOVERY_TIMEOUT 60)

# Hostile picture files and large copied pictures in the program on a private X server.
add_executable(hostile_pictures_e2e_tests e2e/hostile_pictures_e2e_test.cpp unit/picture_test_files.cpp)
target_link_libraries(hostile_pictures_e2e_tests PRIVATE zub_app zub_platform_x11 zub_e2e_main Qt6::Test)
gtest_discover_tests(hostile_pictures_e2e_tests PROPERTIES LABELS e2e TIMEOUT 600 DISCOVERY_TIMEOUT 60)
