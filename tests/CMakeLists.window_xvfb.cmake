# The window on a real X server (Xvfb with a window manager, Qt's xcb platform): activations as
# a desktop gives them, with the host's real dialogs (the dialog log service, the pick list)
# answered by the test.
if(TARGET prezzolampo_window_test_support)
    file(GLOB window_xvfb_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/window_xvfb/*.cpp)
    add_executable(test_window_xvfb ${window_xvfb_sources}
        ${CMAKE_CURRENT_SOURCE_DIR}/support/main_widgets.cpp)
    target_link_libraries(test_window_xvfb PRIVATE prezzolampo_test_support prezzolampo_window
        prezzolampo_window_test_support)
    target_compile_definitions(test_window_xvfb PRIVATE
        PREZZOLAMPO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        PREZZOLAMPO_BINARY_DIR="${PROJECT_BINARY_DIR}")
    add_test(NAME window_xvfb
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/window_xvfb/with_window_manager.sh
                $<TARGET_FILE:test_window_xvfb> --gtest_color=no)
    set_tests_properties(window_xvfb PROPERTIES TIMEOUT 300 ENVIRONMENT
        "QT_QPA_PLATFORM=xcb;TZ=Europe/Rome;LANG=C.UTF-8")
endif()
