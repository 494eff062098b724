# The plug-in class CLSMG_PREZZOLAMPO, linked directly (no plug-in loading), alone and with
# its real window on the demo database through the window driver.
if(TARGET prezzolampo_window_test_support)
    prezzolampo_add_test(NAME plugin MAIN widgets
        LIBS prezzolampo_plugin_class prezzolampo_window_test_support)
endif()
