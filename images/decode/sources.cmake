list(APPEND VISTREL_WIN_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/picture_decode.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/decode_guard.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/imaging_code.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/file_in_memory.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/picture_signature.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/memory_stream.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/picture_orientation.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/plain_bitmap.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode/wic_decode.cpp
)
