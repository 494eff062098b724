# The parameter-driven grid set-up, the grid columns and the header: pure tests of the proposed
# validity dates, and window scenarios through tests/support/window_driver on SQLite and
# PostgreSQL.
if(TARGET prezzolampo_window_test_support)
    prezzolampo_add_test(NAME setup MAIN widgets
        LIBS prezzolampo_window prezzolampo_window_test_support)
endif()
