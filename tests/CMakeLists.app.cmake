# The host program: its parts (settings, plug-in loading, main frame) as a GoogleTest program,
# and the real program under Xvfb on a fresh demo database.
if(TARGET prezzolampo_app AND TARGET RIDE_PREZZOLAMPO)
    prezzolampo_add_test(NAME app MAIN widgets LIBS prezzolampo_app)
    # The plug-in folder test reads the built plug-in library.
    add_dependencies(test_app RIDE_PREZZOLAMPO)
endif()
if(TARGET prezzolampo AND TARGET RIDE_PREZZOLAMPO)
    add_test(NAME app_real_window
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/real_window_test.sh $<TARGET_FILE:prezzolampo>
                ${PROJECT_BINARY_DIR})
    set_tests_properties(app_real_window PROPERTIES TIMEOUT 180 ENVIRONMENT
        "TZ=Europe/Rome;LANG=C.UTF-8")
endif()
