list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/fault_rules.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/dpi_scale.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/ui_language_rules.cpp)
