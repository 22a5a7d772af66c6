list(APPEND VISTREL_WIN_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/images/folder_scan.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/picture_loading.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/open_dialog.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/picture_path.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/picture_decode.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/decode_guard.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/picture_orientation.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/picture_read_ahead.cpp
)
