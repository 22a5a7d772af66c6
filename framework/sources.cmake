list(APPEND VISTREL_FRAMEWORK_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/afx_string.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/ui_language.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/cmd_target.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/wnd.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/handler_calls.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/gdi.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/frame_wnd.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/win_app.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/property_sheet.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/file_dialog.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/framework/win_dpi.cpp
)
