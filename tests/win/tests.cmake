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

# A DLL of the tests' own standing for a codec extension, for the tests of faults raised in a
# module counted as imaging code and in the C runtime it calls.
if(TARGET vistrel_win_tests)
    add_library(vistrel_fault_module SHARED ${CMAKE_CURRENT_SOURCE_DIR}/win/fault_module/fault_module.c)
    set_target_properties(vistrel_fault_module PROPERTIES PREFIX "")
    if(MINGW)
        target_link_options(vistrel_fault_module PRIVATE -static)
    endif()
    add_dependencies(vistrel_win_tests vistrel_fault_module)
    if(CMAKE_CROSSCOMPILING)
        set(_fault_module_drive "Z:")
    endif()
    target_compile_definitions(vistrel_win_tests PRIVATE
        VISTREL_FAULT_MODULE_PATH="${_fault_module_drive}$<TARGET_FILE:vistrel_fault_module>")
endif()

# Pictures GDI+'s encoders can't write (a CMYK JPEG, a 16-bit PNG, a fax TIFF with an
# orientation, a GIF with a transparent colour, an animated GIF, a progressive JPEG, a 48-bit
# TIFF, pictures with an embedded colour profile), and one picture of four coloured quarters
# in the formats only the imaging component decodes (DDS plain and DXT1, JPEG XR) or none here
# (WebP), made by ImageMagick and JxrEncApp for the tests of pictures held in memory. The tests
# get the folder as a Windows path.
if(TARGET vistrel_win_tests)
    find_program(VISTREL_CONVERT convert REQUIRED)
    find_program(VISTREL_JXRENC JxrEncApp REQUIRED)
    find_file(VISTREL_WIDE_GAMUT_ICC a98.icc PATHS /usr/share/color/icc/ghostscript NO_DEFAULT_PATH)
    set(_profile)
    if(VISTREL_WIDE_GAMUT_ICC)
        set(_profile -profile ${VISTREL_WIDE_GAMUT_ICC})
    endif()
    set(_samples ${CMAKE_CURRENT_BINARY_DIR}/memory_samples)
    set(_sample_files alpha.png transparent.gif deep.png cmyk.jpg palette.bmp fax.tif anim.gif
        progressive.jpg deep.tif profile.jpg profile.png quad.png quad-none.dds quad-dxt1.dds quad.jxr quad.webp)
    list(TRANSFORM _sample_files PREPEND ${_samples}/ OUTPUT_VARIABLE _sample_paths)
    add_custom_command(OUTPUT ${_sample_paths}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_samples}
        COMMAND ${VISTREL_CONVERT} -size 64x48 "gradient:rgba(255,0,0,1)-rgba(0,0,255,0.2)" -depth 8 PNG32:${_samples}/alpha.png
        COMMAND ${VISTREL_CONVERT} -size 64x48 "xc:#3060a0" -fill "#ff00ff" -draw "rectangle 10,10 40,30" -transparent "#ff00ff" ${_samples}/transparent.gif
        COMMAND ${VISTREL_CONVERT} -size 64x48 "gradient:#102030-#f0e0d0" -depth 16 PNG48:${_samples}/deep.png
        COMMAND ${VISTREL_CONVERT} -size 64x48 "gradient:#c03010-#10a0f0" -colorspace CMYK -quality 95 ${_samples}/cmyk.jpg
        COMMAND ${VISTREL_CONVERT} -seed 3 -size 64x48 plasma: -colors 100 -type Palette BMP3:${_samples}/palette.bmp
        COMMAND ${VISTREL_CONVERT} -size 88x59 pattern:checkerboard -fill black -draw "rectangle 0,0 20,10" -type bilevel -compress Group4 -orient RightTop ${_samples}/fax.tif
        COMMAND ${VISTREL_CONVERT} -delay 10 -size 32x24 xc:red xc:lime xc:blue -loop 0 ${_samples}/anim.gif
        COMMAND ${VISTREL_CONVERT} -size 64x48 "gradient:#203040-#e0c0a0" -interlace JPEG -quality 90 ${_samples}/progressive.jpg
        COMMAND ${VISTREL_CONVERT} -size 64x48 "gradient:#a02010-#10e0f0" -alpha off -depth 16 -compress none ${_samples}/deep.tif
        COMMAND ${VISTREL_CONVERT} -size 64x48 "gradient:#c03010-#10a0f0" ${_profile} -quality 95 ${_samples}/profile.jpg
        COMMAND ${VISTREL_CONVERT} -size 64x48 "gradient:#c03010-#10a0f0" ${_profile} PNG24:${_samples}/profile.png
        COMMAND ${VISTREL_CONVERT} -size 32x32 xc:white -fill red -draw "rectangle 0,0 15,15" -fill lime
            -draw "rectangle 16,0 31,15" -fill blue -draw "rectangle 0,16 15,31" -type TrueColor BMP3:${_samples}/quad.bmp
        COMMAND ${VISTREL_CONVERT} ${_samples}/quad.bmp PNG24:${_samples}/quad.png
        COMMAND ${VISTREL_CONVERT} ${_samples}/quad.bmp -define dds:compression=none -define dds:mipmaps=0 ${_samples}/quad-none.dds
        COMMAND ${VISTREL_CONVERT} ${_samples}/quad.bmp -define dds:compression=dxt1 -define dds:mipmaps=0 ${_samples}/quad-dxt1.dds
        COMMAND ${VISTREL_JXRENC} -i ${_samples}/quad.bmp -o ${_samples}/quad.jxr -q 1
        COMMAND ${VISTREL_CONVERT} ${_samples}/quad.bmp -define webp:lossless=true ${_samples}/quad.webp
        VERBATIM)
    add_custom_target(vistrel_memory_samples DEPENDS ${_sample_paths})
    add_dependencies(vistrel_win_tests vistrel_memory_samples)
    set(_samples_windows "${_samples}/")
    if(CMAKE_CROSSCOMPILING)
        set(_samples_windows "Z:${_samples}/")
    endif()
    string(REPLACE "/" "\\\\" _samples_windows "${_samples_windows}")
    target_compile_definitions(vistrel_win_tests PRIVATE VISTREL_MEMORY_SAMPLES="${_samples_windows}")
endif()
