list(APPEND VISTREL_WIN_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/mainframe/main_frame.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/mainframe/settings.cpp
)
