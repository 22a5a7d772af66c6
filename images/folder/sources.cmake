list(APPEND VISTREL_WIN_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/images/folder/folder_scan.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/folder/picture_loading.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/folder/open_dialog.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/images/folder/picture_path.cpp
)
