list(APPEND VISTREL_WIN_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/images/ahead/picture_read_ahead.cpp
)
