# The host's controls (grid, header fields, window controls) on Qt's offscreen platform.
if(TARGET prezzolampo_host)
    prezzolampo_add_test(NAME controls MAIN widgets LIBS prezzolampo_host Qt6::Test)
endif()
