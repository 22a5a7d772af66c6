list(APPEND VISTREL_WIN_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/feedback/command_ui.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/feedback/tag_wnd.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/feedback/rotate_animate.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/feedback/context_menu.cpp
)
