list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/images/ahead/first_picture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/ahead/read_ahead.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/ahead/read_ahead_plan.cpp)
