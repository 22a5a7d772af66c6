list(APPEND VISTREL_WIN_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/app/vistrel_app.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/app/dpi_awareness.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/app/dll_search.cpp
)
