# Window scenarios: the window FRMMG_PREZZOLAMPO on Qt's offscreen platform, driven through
# tests/support/window_driver (its library is declared by tests/CMakeLists.txt).
if(TARGET prezzolampo_window_test_support)
    prezzolampo_add_test(NAME window MAIN widgets
        LIBS prezzolampo_window prezzolampo_window_test_support)
endif()
