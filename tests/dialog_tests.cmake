# The Help and About dialogs. The About dialog's click counter lives as long as the program, so
# each case runs in a process of its own, as a program run does.
add_executable(dialogs_test gui/dialogs_test.cpp gui/gui_support.h)
target_link_libraries(dialogs_test PRIVATE zub_app zub_platform_sim Qt6::Test)
set_target_properties(dialogs_test PROPERTIES AUTOMOC ON)
foreach(case IN ITEMS
        theThirtiethClickChangesTheTitleOnce
        theCountGoesOnInTheNextDialog
        aLaterDialogKeepsItsTitle
        aDoubleClickCountsOnce
        clicksThatEndElsewhereOrLandElsewhereCountNothing
        twoAboutDialogsEachCloseByTheirOwnButton
        twoHelpDialogs
        theHelpPageKeepsItsOutline)
    add_test(NAME dialogs_test.${case} COMMAND dialogs_test ${case})
    set_tests_properties(dialogs_test.${case} PROPERTIES LABELS gui TIMEOUT 120
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endforeach()
