# End-to-end tests: each tests/e2e/test_<name>.sh drives the real vistrel.exe under Wine on the
# test display (xdotool, ImageMagick) and becomes the ctest test e2e.<name>. They share the
# display, the keyboard focus and the prefix's registry, so they run alone.

if(NOT DEFINED VISTREL_WINEPREFIX)
    set(VISTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
endif()

file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/test_*.sh)
foreach(script IN LISTS E2E_TESTS)
    get_filename_component(name ${script} NAME_WE)
    string(REGEX REPLACE "^test_" "" name ${name})
    add_test(NAME e2e.${name} COMMAND bash ${script} $<TARGET_FILE:vistrel>)
    set_tests_properties(e2e.${name} PROPERTIES
        LABELS e2e
        RUN_SERIAL TRUE
        RESOURCE_LOCK wine_display
        TIMEOUT 180
        SKIP_RETURN_CODE 77
        ENVIRONMENT "WINEPREFIX=${VISTREL_WINEPREFIX};WINEDEBUG=-all;VISTREL_BUILD_DIR=${CMAKE_BINARY_DIR}")
endforeach()

# e2e.dll_search: stand-ins for the delay-loaded DLLs (modules: no import library of those names)
# and a probe that loads DLLs by bare name.
foreach(dll gdiplus msimg32 winmm comctl32 comdlg32 shell32)
    add_library(vistrel_planted_${dll} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/e2e/planted_dll.c)
    set_target_properties(vistrel_planted_${dll} PROPERTIES PREFIX "" OUTPUT_NAME ${dll}
        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted LINK_OPTIONS -static)
endforeach()
add_executable(vistrel_planted_probe ${CMAKE_CURRENT_SOURCE_DIR}/e2e/planted_probe.c)
set_target_properties(vistrel_planted_probe PROPERTIES OUTPUT_NAME probe RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted)
