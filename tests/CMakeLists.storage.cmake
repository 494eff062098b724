# Price-list storage through the window: the statement builders alone, then loading and saving
# on SQLite and PostgreSQL through the window driver.
if(TARGET prezzolampo_window_test_support)
    prezzolampo_add_test(NAME storage_window MAIN widgets
        LIBS prezzolampo_window prezzolampo_window_test_support)
endif()
