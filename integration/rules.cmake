list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/integration/extension_list.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/integration/association_plan.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/integration/background_plan.cpp)
