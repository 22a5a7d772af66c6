list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/app/command_line.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/app/dpi_awareness_rules.cpp)
