# What the Windows build (cross-compiled with MinGW-w64, see scripts/setup-windows) finds or
# makes differently from the Linux one. Included by the top CMakeLists.txt before anything is
# looked for. ZUB_WINDOWS_QT and ZUB_WINDOWS_ICU name the prefixes scripts/setup-windows built.

set(ZUB_WINDOWS_QT "" CACHE PATH "Qt built for Windows")
set(ZUB_WINDOWS_ICU "" CACHE PATH "ICU built for Windows")
list(APPEND CMAKE_PREFIX_PATH ${ZUB_WINDOWS_QT})
list(APPEND CMAKE_FIND_ROOT_PATH ${ZUB_WINDOWS_QT} ${ZUB_WINDOWS_ICU})
# ICU is found through pkg-config, as on Linux, but only in the Windows prefix.
set(ENV{PKG_CONFIG_LIBDIR} ${ZUB_WINDOWS_ICU}/lib/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# The Windows build is one program: libraries are linked in, the C++ runtime is the DLLs that
# Qt's own DLLs need anyway. Unicode entry points and headers without min/max macros.
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
# GCC 12 at -O3 warns of overlapping copies inside std::string::insert that cannot happen (GCC
# bug 105329); with warnings as errors it would stop the build.
add_compile_options(-Wno-restrict)

# GoogleTest from Debian's source package (googletest), built with the program.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Built as GoogleTest's own, not held to the program's warnings.
foreach(target gtest gtest_main gmock gmock_main)
    target_compile_options(${target} PRIVATE -w)
endforeach()
# Newer GoogleTest sources name their targets so themselves.
foreach(target gtest gtest_main gmock)
    if(NOT TARGET GTest::${target})
        add_library(GTest::${target} ALIAS ${target})
    endif()
endforeach()

# Google Benchmark from Debian's source package (benchmark), for the benchmarks.
set(ZUB_WINDOWS_BENCHMARK "" CACHE PATH "Google Benchmark's source")
if(ZUB_BENCH AND ZUB_WINDOWS_BENCHMARK)
    set(BENCHMARK_ENABLE_TESTING OFF CACHE BOOL "" FORCE)
    set(BENCHMARK_ENABLE_GTEST_TESTS OFF CACHE BOOL "" FORCE)
    set(BENCHMARK_ENABLE_WERROR OFF CACHE BOOL "" FORCE)
    set(BENCHMARK_ENABLE_INSTALL OFF CACHE BOOL "" FORCE)
    # Debian's source asks git for no version and so would name none: its project's own.
    set(GIT_VERSION "0.0.0")
    add_subdirectory(${ZUB_WINDOWS_BENCHMARK} ${CMAKE_BINARY_DIR}/benchmark EXCLUDE_FROM_ALL SYSTEM)
    # Its system probe is written for narrow Windows calls.
    target_compile_options(benchmark PRIVATE -w -UUNICODE -U_UNICODE)
endif()

# Tools that run while building (the icon renderer needs Qt's SVG module), built for this
# machine with its own compiler and Qt.
include(ExternalProject)
ExternalProject_Add(zub_host_tools
    SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/host_tools
    BINARY_DIR ${CMAKE_BINARY_DIR}/host_tools
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++
               -DZUB_PACKAGING_DIR=${PROJECT_SOURCE_DIR}/packaging
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${CMAKE_BINARY_DIR}/host_tools/zub_render_icon
                     ${CMAKE_BINARY_DIR}/host_tools/zub_make_ico)
set(ZUB_RENDER_ICON ${CMAKE_BINARY_DIR}/host_tools/zub_render_icon)
set(ZUB_MAKE_ICO ${CMAKE_BINARY_DIR}/host_tools/zub_make_ico)
set(ZUB_RENDER_ICON_DEPENDS zub_host_tools)


# The program file's own icon and version, for Explorer and the installer.
function(zub_windows_program_resources target icon_svg)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/windows_program)
    add_custom_command(OUTPUT ${out}/zub.ico
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
        COMMAND ${ZUB_MAKE_ICO} ${icon_svg} ${out}/zub.ico
        DEPENDS zub_host_tools ${icon_svg} VERBATIM)
    set(ZUB_PROGRAM_ICON ${out}/zub.ico)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/zub.rc.in ${out}/zub.rc @ONLY)
    set_source_files_properties(${out}/zub.rc PROPERTIES OBJECT_DEPENDS ${out}/zub.ico)
    target_sources(${target} PRIVATE ${out}/zub.rc)
endfunction()
