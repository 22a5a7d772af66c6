# Cross build for 64-bit Windows with mingw-w64; executables run through Wine.
#
# The -posix compilers are needed: the win32 thread model has no std::mutex, which GoogleTest uses.
# Everything links statically so the executables run in any Wine prefix without the mingw DLLs.
#
# The same file is read again as the rules override after CMake's Windows-GNU platform rules,
# where it adds -municode to WIN32 executables only: the GUI program enters at wWinMain with a
# wide argument vector, while the console test programs keep GoogleTest's narrow main().
foreach(_vistrel_lang C CXX)
    if(CMAKE_${_vistrel_lang}_CREATE_WIN32_EXE STREQUAL "-mwindows")
        set(CMAKE_${_vistrel_lang}_CREATE_WIN32_EXE "-mwindows -municode")
        set(_vistrel_rules_pass TRUE)
    endif()
endforeach()
if(_vistrel_rules_pass)
    unset(_vistrel_rules_pass)
    return()
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VISTREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VISTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VISTREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VISTREL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VISTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# windres reads scripts as cp1252 by default; the resource script is UTF-8.
set(CMAKE_RC_FLAGS_INIT "-c 65001")

set(CMAKE_USER_MAKE_RULES_OVERRIDE_C ${CMAKE_CURRENT_LIST_FILE})
set(CMAKE_USER_MAKE_RULES_OVERRIDE_CXX ${CMAKE_CURRENT_LIST_FILE})

# Every Windows program (test discovery, tests, the e2e harness) runs in the build folder's own
# Wine prefix, never in ~/.wine; the wrapper makes that prefix on first use.
set(VISTREL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Private Wine prefix of this build")
get_filename_component(_vistrel_source_root ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /bin/bash ${_vistrel_source_root}/scripts/lib/wine-exec.sh ${VISTREL_WINEPREFIX})
