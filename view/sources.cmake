list(APPEND VISTREL_WIN_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/view/layout_view.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/view/painting.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/view/paint_seam.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/view/pointer_keys.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/view/window_placement.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/view/win_monitors.cpp
)
