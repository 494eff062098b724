# The window's fewer-round-trip plan against every answer asked of the server: the same
# scripted runs on SQLite and PostgreSQL must leave the same tables.
if(TARGET prezzolampo_window_test_support)
    prezzolampo_add_test(NAME fast_plan MAIN widgets
        LIBS prezzolampo_window prezzolampo_window_test_support)
endif()
