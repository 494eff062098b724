# Host services, controls and window support: what the window calls in its host.
file(GLOB HOST_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/services/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/controls/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/window/*.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/contract/*.cpp)
file(GLOB HOST_HEADERS CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/services/*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/controls/*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/window/*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/contract/*.h)
if(HOST_SOURCES)
    add_library(prezzolampo_host ${HOST_SOURCES} ${HOST_HEADERS})
    target_include_directories(prezzolampo_host PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(prezzolampo_host PUBLIC prezzolampo_data Qt6::Widgets)
endif()
# The navigator's export writes .xlsx files with libxlsxwriter.
if(TARGET prezzolampo_host)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(XLSXWRITER REQUIRED IMPORTED_TARGET xlsxwriter)
    target_link_libraries(prezzolampo_host PRIVATE PkgConfig::XLSXWRITER)
endif()
