# The window's icons, drawn from their SVG files while building rather than at every start, so
# that the program neither loads Qt's SVG module nor parses a drawing before its window shows
# (and Windows, which has no Qt SVG module here, gets the same pictures). ZUB_RENDER_ICON names
# the drawing tool and ZUB_RENDER_ICON_DEPENDS what must be built before it runs.

# The icons of `qrc` drawn into PNG files at 16, 32 and 64 pixels, "<icon>.svg-<size>.png", and
# compiled into `target` with the icons themselves under the resource name of `qrc`.
function(zub_icon_resources target qrc)
    get_filename_component(folder ${qrc} DIRECTORY)
    get_filename_component(name ${qrc} NAME)
    file(READ ${qrc} listing)
    string(REGEX MATCHALL "<file>[^<]+</file>" entries "${listing}")
    set(out ${CMAKE_CURRENT_BINARY_DIR}/drawn_icons)
    set(files "")
    set(pictures "")
    foreach(entry IN LISTS entries)
        string(REGEX REPLACE "</?file>" "" icon "${entry}")
        string(APPEND files "        <file alias=\"${icon}\">${folder}/${icon}</file>\n")
        foreach(size 16 32 64)
            set(png ${out}/${icon}-${size}.png)
            get_filename_component(png_folder ${png} DIRECTORY)
            add_custom_command(OUTPUT ${png}
                COMMAND ${CMAKE_COMMAND} -E make_directory ${png_folder}
                COMMAND ${ZUB_RENDER_ICON} ${folder}/${icon} ${png} ${size}
                DEPENDS ${ZUB_RENDER_ICON_DEPENDS} ${folder}/${icon} VERBATIM)
            list(APPEND pictures ${png})
            string(APPEND files "        <file alias=\"${icon}-${size}.png\">${png}</file>\n")
        endforeach()
    endforeach()
    # Rewritten only when it changes, so that configuring again rebuilds nothing.
    file(CONFIGURE OUTPUT ${out}/${name}
         CONTENT "<RCC>\n    <qresource prefix=\"/\">\n${files}    </qresource>\n</RCC>\n" @ONLY)
    add_custom_target(${target}_icon_pictures DEPENDS ${pictures})
    target_sources(${target} PRIVATE ${out}/${name})
    set_property(TARGET ${target} APPEND PROPERTY AUTOGEN_TARGET_DEPENDS ${target}_icon_pictures)
endfunction()
