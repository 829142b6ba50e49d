# The installed tree and the Debian package, checked with the desktop's and Debian's own tools.
add_test(NAME install_tree
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package/check_install_tree.sh
            ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR} ${ZUB_APP_ID})
add_test(NAME debian_package
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package/check_debian_package.sh
            ${CMAKE_CPACK_COMMAND} ${PROJECT_BINARY_DIR} ${ZUB_APP_ID} ${PROJECT_VERSION})
set_tests_properties(install_tree debian_package PROPERTIES LABELS package TIMEOUT 300)
