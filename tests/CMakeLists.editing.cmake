# Grid editing and the Enter walk: window scenarios typed with the keyboard alone, on SQLite and
# PostgreSQL, through tests/support/window_driver.
if(TARGET prezzolampo_window_test_support)
    prezzolampo_add_test(NAME editing MAIN widgets
        LIBS prezzolampo_window prezzolampo_window_test_support)
endif()
