list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/mainframe/settings_rules.cpp)
