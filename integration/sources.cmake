list(APPEND VISTREL_WIN_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/integration/file_types.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/integration/options_sheet.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/integration/background.cpp
)
