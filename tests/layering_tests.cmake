# The layers' arrows point one way (app → feature folders → platform → text) and no core library
# reaches Qt Widgets. The closure of each core library's links is written at configure time;
# the script reads it and every include line under src/.
set(zub_core_libraries
    zub_text zub_platform zub_cliplist zub_workbench zub_images zub_grab zub_capture)

# Every library `target` links, directly or through others, as written in the link properties.
function(zub_link_closure target result)
    set(seen "")
    set(pending ${target})
    while(pending)
        list(POP_FRONT pending current)
        if(NOT TARGET ${current} OR current IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(type ${current} TYPE)
        set(links "")
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(direct ${current} LINK_LIBRARIES)
            if(direct)
                list(APPEND links ${direct})
            endif()
        endif()
        get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
        if(interface)
            list(APPEND links ${interface})
        endif()
        foreach(link IN LISTS links)
            # $<LINK_ONLY:X> and similar wrappers still link X.
            string(REGEX REPLACE "^\\$<[A-Z_]+:(.*)>$" "\\1" link "${link}")
            list(APPEND pending ${link})
        endforeach()
    endwhile()
    list(REMOVE_ITEM seen ${target})
    set(${result} ${seen} PARENT_SCOPE)
endfunction()

set(manifest "")
foreach(library IN LISTS zub_core_libraries)
    zub_link_closure(${library} closure)
    get_target_property(sources ${library} SOURCES)
    get_target_property(folder ${library} SOURCE_DIR)
    list(JOIN closure " " closure)
    string(APPEND manifest "links ${library} ${closure}\n")
    foreach(source IN LISTS sources)
        if(source MATCHES "\\.cpp$")
            string(APPEND manifest "source ${library} ${folder}/${source}\n")
        endif()
    endforeach()
endforeach()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/core_libraries.txt "${manifest}")

get_target_property(zub_widgets_includes Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
list(FILTER zub_widgets_includes INCLUDE REGEX "QtWidgets$")
add_test(NAME layering COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/layering/check_layers.sh
         ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_BINARY_DIR}/core_libraries.txt
         ${zub_widgets_includes})
set_tests_properties(layering PROPERTIES LABELS unit)
