list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/images/file_order.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/open_filter.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/exif_orientation.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/read_ahead.cpp)
