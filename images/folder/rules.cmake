list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/images/folder/file_order.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/folder/open_filter.cpp)
