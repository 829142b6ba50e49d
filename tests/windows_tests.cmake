# The tests of the Windows build, all labelled `windows`: the unit and window suites that are not
# about Linux, cross-built and run under Wine; the Win32 backend against the system; the program
# end to end with xclip and xdotool on an X server; the installer. Each test program runs under
# Wine on an Xvfb of its own (windows/run_under_wine.sh), one at a time, since they share one
# Wine prefix.
include(GoogleTest)

set(ZUB_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
# Where Wine finds the DLLs: Qt's and the MinGW runtime's, as Windows folders ("|" between them).
set(zub_wine_paths "")
foreach(folder ${ZUB_WINDOWS_QT}/bin /usr/lib/gcc/x86_64-w64-mingw32/12-posix
               /usr/x86_64-w64-mingw32/lib)
    string(REPLACE "/" "\\" folder "Z:${folder}")
    list(APPEND zub_wine_paths ${folder})
endforeach()
list(JOIN zub_wine_paths "|" zub_wine_paths)

# zub_wine_test(name target [LANG locale] [LABEL label] [ARGS ...] [ENVIRONMENT ...])
function(zub_wine_test name target)
    cmake_parse_arguments(arg "" "LANG;LABEL" "ARGS;ENVIRONMENT" ${ARGN})
    if(NOT arg_LANG)
        set(arg_LANG C.UTF-8)
    endif()
    if(NOT arg_LABEL)
        set(arg_LABEL windows)
    endif()
    add_test(NAME ${name}
        COMMAND ${PROJECT_SOURCE_DIR}/tests/windows/run_under_wine.sh ${ZUB_WINE_PREFIX}
                ${zub_wine_paths} $<TARGET_FILE:${target}> ${arg_ARGS})
    set_tests_properties(${name} PROPERTIES LABELS ${arg_LABEL} TIMEOUT 600 RESOURCE_LOCK wine
        ENVIRONMENT "LANG=${arg_LANG};${arg_ENVIRONMENT}")
endfunction()

# The cores' unit suites, less what is about Linux (POSIX files and their error texts, xdg, the
# SVG metafile path).
add_executable(unit_tests
    unit/bulk_commands_test.cpp
    unit/clip_entry_test.cpp
    unit/clip_list_bulk_test.cpp
    unit/clip_list_test.cpp
    unit/clip_text_index_test.cpp
    unit/codepage_test.cpp
    unit/collation_test.cpp
    unit/edit_box_completion_test.cpp
    unit/entry_commands_test.cpp
    unit/recent_list_test.cpp
    unit/selection_display_test.cpp
    unit/type_ahead_test.cpp
)
target_link_libraries(unit_tests PRIVATE zub_cliplist GTest::gtest GTest::gmock GTest::gtest_main)
zub_wine_test(windows_unit_tests unit_tests LANG zh_CN.UTF-8)

add_executable(workbench_unit_tests
    unit/block_byte_counts_test.cpp
    unit/go_command_test.cpp
    unit/replace_all_test.cpp
    unit/text_search_test.cpp
    unit/word_prefix_search_test.cpp
    unit/workbench_commands_test.cpp
    unit/dialog_filter_test.cpp
    unit/sim_clipboard_test.cpp
    unit/sim_dialogs_test.cpp
    unit/sim_hot_key_test.cpp
    unit/sim_shell_test.cpp
    unit/sim_viewer_chain_test.cpp
)
target_link_libraries(workbench_unit_tests PRIVATE zub_workbench zub_platform_sim zub_platform_qt
                      GTest::gtest GTest::gtest_main)
zub_wine_test(windows_workbench_unit_tests workbench_unit_tests)

add_executable(grab_unit_tests unit/gui_application_main.cpp unit/region_selection_test.cpp)
target_link_libraries(grab_unit_tests PRIVATE zub_grab GTest::gtest)
zub_wine_test(windows_grab_unit_tests grab_unit_tests)

# The window suites: the whole main window on the simulated platform, offscreen; not the command
# line's, whose paths are Linux ones.
foreach(name IN ITEMS capture_test main_window_test clip_list_test desktop_test
                      list_commands_test entry_commands_test edit_box_test dialogs_test
                      go_commands_test workbench_edit_test workbench_test search_test
                      image_pane_test picture_preview_test screen_grab_test
                      picture_capture_test)
    add_executable(${name} gui/${name}.cpp gui/gui_support.h)
    target_link_libraries(${name} PRIVATE zub_app zub_platform_sim Qt6::Test)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    zub_wine_test(windows_${name} ${name} ENVIRONMENT QT_QPA_PLATFORM=offscreen ZUB_QTEST=1)
endforeach()
target_sources(picture_preview_test PRIVATE unit/picture_test_files.cpp)

# The Win32 backend against the system, under the Chinese code page and under the Western one.
add_executable(win32_platform_tests windows/win32_platform_test.cpp windows/gdi_test_files.h)
target_include_directories(win32_platform_tests PRIVATE windows)
target_link_libraries(win32_platform_tests PRIVATE zub_platform_win32 zub_images zub_capture
                      Qt6::Gui GTest::gtest)
zub_wine_test(windows_platform_936 win32_platform_tests LANG zh_CN.UTF-8)
zub_wine_test(windows_platform_1252 win32_platform_tests LANG en_US.UTF-8)

# The program end to end, with the tools of the Linux end-to-end tests.
add_executable(windows_e2e_tests windows/program_wine_e2e_test.cpp e2e/x11_tools.cpp)
target_include_directories(windows_e2e_tests PRIVATE windows e2e)
target_link_libraries(windows_e2e_tests PRIVATE zub_app zub_platform_win32 zub_platform_sim
                      Qt6::Test GTest::gtest)
zub_wine_test(windows_e2e windows_e2e_tests LANG zh_CN.UTF-8)

# The installer: a silent install, the installed program started, a silent uninstall.
add_test(NAME windows_installer
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/check_installer.sh ${CMAKE_COMMAND}
            ${PROJECT_BINARY_DIR} ${ZUB_WINE_PREFIX} zub-${PROJECT_VERSION}-setup.exe)
set_tests_properties(windows_installer PROPERTIES LABELS windows TIMEOUT 600 RESOURCE_LOCK wine)

include(layering_tests.cmake)
set_tests_properties(layering PROPERTIES LABELS "unit;windows")
