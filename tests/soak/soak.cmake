# Reliability under load, for Windows builds: the soak driver (tests/soak), which sends random
# events to a running vistrel.exe and watches its GDI/USER objects and private bytes, and the
# end-to-end test of a folder of 100,000 files, which only the shell can make fast enough under
# Wine. The short soak itself is the e2e test tests/e2e/test_soak_short.sh; scripts/soak runs
# the long one. Included by tests/CMakeLists.txt.

if(NOT WIN32)
    return()
endif()

if(NOT DEFINED VISTREL_WINEPREFIX)
    set(VISTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
endif()

add_executable(vistrel_soak ${CMAKE_CURRENT_LIST_DIR}/soak_driver.cpp)
target_include_directories(vistrel_soak PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(vistrel_soak PRIVATE gdiplus psapi shell32 gdi32 user32)
# The driver's probe in the viewer's thread (a WH_GETMESSAGE hook), loaded there by path: it
# lies next to the driver, without a "lib" prefix and without runtime DLLs of its own.
add_library(vistrel_soak_hook SHARED ${CMAKE_CURRENT_LIST_DIR}/soak_hook.cpp)
set_target_properties(vistrel_soak_hook PROPERTIES PREFIX "")
target_link_options(vistrel_soak_hook PRIVATE $<$<CXX_COMPILER_ID:GNU>:-static>)
target_link_libraries(vistrel_soak_hook PRIVATE user32)
add_dependencies(vistrel_soak vistrel_soak_hook)
# Where test_soak_short.sh and scripts/soak look for them.
set_target_properties(vistrel_soak vistrel_soak_hook PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/soak)

add_test(NAME e2e.big_folder
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/reliability/big_folder.sh $<TARGET_FILE:vistrel>)
set_tests_properties(e2e.big_folder PROPERTIES
    LABELS e2e
    RUN_SERIAL TRUE
    RESOURCE_LOCK wine_display
    TIMEOUT 180
    ENVIRONMENT "WINEPREFIX=${VISTREL_WINEPREFIX};WINEDEBUG=-all;VISTREL_BUILD_DIR=${CMAKE_BINARY_DIR}")
