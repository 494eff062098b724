# Window scenarios: the window FRMMG_PREZZOLAMPO on Qt's offscreen platform, driven through
# tests/support/window_driver. The driver needs widgets, so it lives in a library of its own
# rather than in the core test support that every test program links.
get_target_property(_core_support_sources prezzolampo_test_support SOURCES)
list(FILTER _core_support_sources EXCLUDE REGEX "window_driver\\.cpp$")
set_property(TARGET prezzolampo_test_support PROPERTY SOURCES ${_core_support_sources})

if(TARGET prezzolampo_window AND TARGET prezzolampo_demo)
    add_library(prezzolampo_window_test_support STATIC
        ${CMAKE_CURRENT_SOURCE_DIR}/support/window_driver.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/support/window_driver.h)
    target_link_libraries(prezzolampo_window_test_support PUBLIC
        prezzolampo_test_support prezzolampo_window prezzolampo_demo Qt6::Widgets Qt6::Test)
    prezzolampo_add_test(NAME window MAIN widgets
        LIBS prezzolampo_window prezzolampo_window_test_support)
endif()
