list(APPEND VISTREL_CORE_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/exif_orientation.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/first_touch.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/picture_signature_rules.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/plain_format_rules.cpp)
