# Platform-free rules of the viewing subsystem.
list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/view/layout.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/view/paint_rules.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/view/interaction.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/view/placement.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/view/monitor_rules.cpp)
