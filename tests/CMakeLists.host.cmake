# Host services and window support: tests/host, run with a QApplication (offscreen).
if(TARGET prezzolampo_host)
    prezzolampo_add_test(NAME host MAIN widgets LIBS prezzolampo_host)
endif()
