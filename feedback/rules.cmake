# Platform-free rules of the feedback subsystem.
list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/feedback/tag_rules.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/feedback/animation_rules.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/feedback/command_states.cpp)
list(APPEND VISTREL_CORE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/feedback/menu_header_rules.cpp)
