# A lost connection: window scenarios that stop and start the test process's own PostgreSQL
# server, in a program of their own so no other test meets the stopped server.
if(TARGET prezzolampo_window_test_support)
    prezzolampo_add_test(NAME recovery MAIN widgets
        LIBS prezzolampo_window prezzolampo_window_test_support)
endif()
