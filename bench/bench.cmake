# Benchmark programs (Windows only), run by scripts/bench; never part of the tests.
#   vistrel_bench_baseline  the least a viewer can do with GDI+: decode a file and draw it once
#   vistrel_bench_wic       the least a viewer can do with WIC: decode into a 24-bit DIB section, one blit
#   vistrel_bench_driver    a real CMainFrame timed in-process: next picture, pan, folder rescan
#   vistrel_bench_probe     starts a program and times it to its first painted picture; reads its memory
# Included by the top-level CMakeLists.txt, or by bench/CMakeLists.txt when built on its own.
if(TARGET vistrel_bench_driver)
    return()
endif()

set(_vistrel_bench_defs UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601)

add_executable(vistrel_bench_baseline WIN32 EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/baseline.cpp)
target_compile_definitions(vistrel_bench_baseline PRIVATE ${_vistrel_bench_defs})
target_include_directories(vistrel_bench_baseline PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(vistrel_bench_baseline PRIVATE gdiplus gdi32 user32)

add_executable(vistrel_bench_wic WIN32 EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/wic_baseline.cpp)
target_compile_definitions(vistrel_bench_wic PRIVATE ${_vistrel_bench_defs})
target_include_directories(vistrel_bench_wic PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(vistrel_bench_wic PRIVATE ole32 uuid gdi32 user32)

add_executable(vistrel_bench_driver EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/driver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../res/vistrel.rc)
target_compile_definitions(vistrel_bench_driver PRIVATE ${_vistrel_bench_defs})
target_link_libraries(vistrel_bench_driver PRIVATE vistrel_win)

add_executable(vistrel_bench_probe EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/probe.cpp)
target_compile_definitions(vistrel_bench_probe PRIVATE ${_vistrel_bench_defs})
target_include_directories(vistrel_bench_probe PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(vistrel_bench_probe PRIVATE psapi gdi32 user32)

# One place whichever file included this one: <build>/bench.
set_target_properties(vistrel_bench_baseline vistrel_bench_wic vistrel_bench_driver vistrel_bench_probe PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_custom_target(vistrel_bench DEPENDS vistrel vistrel_bench_baseline vistrel_bench_wic vistrel_bench_driver vistrel_bench_probe)
