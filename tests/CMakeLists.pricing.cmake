# The derivation of sales prices through the window, on SQLite and PostgreSQL.
if(TARGET prezzolampo_window_test_support)
    prezzolampo_add_test(NAME pricing_window MAIN widgets
        LIBS prezzolampo_window prezzolampo_window_test_support)
endif()
