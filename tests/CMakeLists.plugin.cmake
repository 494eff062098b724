# The plug-in class CLSMG_PREZZOLAMPO, linked directly (no plug-in loading), alone and with
# its real window on the demo database (the window driver of tests/CMakeLists.window.cmake,
# a target defined after this file).
if(TARGET prezzolampo_plugin_class AND TARGET prezzolampo_window AND TARGET prezzolampo_demo)
    prezzolampo_add_test(NAME plugin MAIN widgets
        LIBS prezzolampo_plugin_class prezzolampo_window_test_support)
endif()
