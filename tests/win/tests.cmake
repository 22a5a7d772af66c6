# Windows-side tests of the Win32/GDI+ code, linked with the real resources so that LoadString,
# LoadMenu and the dialog templates answer as in the program. They run through Wine: the emulator
# of the mingw build starts them in the build's own prefix. Included by tests/CMakeLists.txt.

if(NOT DEFINED VISTREL_WINEPREFIX)
    set(VISTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
endif()
# A window left open or a hung modal loop must not keep ctest waiting for ever.
set(VISTREL_WINE_TEST_TIMEOUT 120)

file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/*.cpp)
if(WIN_TEST_SOURCES)
    add_executable(vistrel_win_tests ${WIN_TEST_SOURCES} ${VISTREL_RESOURCES})
    target_link_libraries(vistrel_win_tests PRIVATE vistrel_win GTest::gmock GTest::gtest_main)
    gtest_discover_tests(vistrel_win_tests
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT ${VISTREL_WINE_TEST_TIMEOUT}
        TEST_PREFIX "win."
        PROPERTIES LABELS win)
endif()

# Every discovered test that runs through Wine (core.* and win.*) gets the prefix, a quiet Wine and
# the timeout. The win.* tests also take the display lock: they share the X display, its keyboard
# focus and modal loops, and fail at random when two run at once (measured with ctest -j2), while
# the core.* tests may run beside them. Done by a script that ctest reads after the discovered
# lists: a list-valued ENVIRONMENT does not survive gtest_discover_tests' PROPERTIES.
set(_wine_test_properties ${CMAKE_CURRENT_BINARY_DIR}/wine_test_properties.cmake)
file(WRITE ${_wine_test_properties} "\
foreach(_list vistrel_core_tests_TESTS vistrel_win_tests_TESTS)
    if(\${_list})
        set_tests_properties(\${\${_list}} PROPERTIES
            ENVIRONMENT \"WINEPREFIX=${VISTREL_WINEPREFIX};WINEDEBUG=-all\"
            TIMEOUT ${VISTREL_WINE_TEST_TIMEOUT})
    endif()
endforeach()
if(vistrel_win_tests_TESTS)
    set_tests_properties(\${vistrel_win_tests_TESTS} PROPERTIES RESOURCE_LOCK wine_display)
endif()
")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_wine_test_properties})

# The version test reads the resources of the built program itself, by the path CMake gives it
# (under Wine the Unix root is drive Z:).
if(TARGET vistrel_win_tests AND TARGET vistrel)
    if(CMAKE_CROSSCOMPILING)
        set(_vistrel_exe_drive "Z:")
    endif()
    add_dependencies(vistrel_win_tests vistrel)
    target_compile_definitions(vistrel_win_tests PRIVATE
        VISTREL_EXE_PATH="${_vistrel_exe_drive}$<TARGET_FILE:vistrel>")
    target_link_libraries(vistrel_win_tests PRIVATE version)
endif()
