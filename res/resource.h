// Resource and command identifiers, shared by the resource script and the code.
// Plain #defines so that rc.exe and windres read them as well as the compilers.
#pragma once

#define IDR_MAINFRAME                   128
#define IDR_CONTEXT_MENU                130
#define IDD_PAGE_FILE_TYPES             103
#define IDD_PAGE_ABOUT                  105
#define IDC_STATIC                      (-1)
#define IDC_EXTENSIONS                  1002
#define IDC_UPGRADE                     1009
#define IDC_ABOUT_TEXT1                 1010
#define IDC_ABOUT_TEXT2                 1011

// String table
#define IDS_ACTUAL_SIZE                 101
#define IDS_SCREEN_SIZE                 102
#define IDS_BEST_FIT                    103
#define IDS_FIT_WINDOW                  104
#define IDS_HINT                        105
#define IDS_NO_PICTURE                  106
#define IDS_ZOOM_IN                     107
#define IDS_ZOOM_OUT                    108
#define IDS_OPTIONS_CAPTION             109
#define IDS_DEFAULT_EXTENSIONS          110
#define IDS_FILTER_PICTURES             111
#define IDS_FILTER_ALL                  112
#define IDS_OPEN_FAILED                 113
#define IDS_ERROR_CAPTION               114
#define IDS_ROTATE                      115
#define IDS_FLIP                        116
#define IDS_APP_TITLE                   128
#define AFX_IDS_APP_TITLE               57344
#define AFX_IDP_PARSE_STRING_SIZE       61716

// Commands
#define ID_TOOLS_OPTIONS                32793
#define ID_HELP_ABOUT_PAGE              32796
#define ID_FILE_DELETE_KEY              32799
#define ID_FILE_PROPERTIES              32800
#define ID_VIEW_SCREEN_SIZE             32804
#define ID_FILE_NEXT                    32805
#define ID_FILE_PREV                    32806
#define ID_FILE_FIRST                   32808
#define ID_FILE_LAST                    32809
#define ID_VIEW_ACTUAL_SIZE             32810
#define ID_VIEW_BEST_FIT                32811
#define ID_VIEW_FIT_WINDOW              32812
#define ID_VIEW_ZOOM_IN                 32814
#define ID_VIEW_ZOOM_OUT                32815
#define ID_INTERP_DEFAULT               32816
#define ID_INTERP_NEAREST               32817
#define ID_INTERP_BILINEAR              32818
#define ID_INTERP_HQ_BILINEAR           32819
#define ID_INTERP_BICUBIC               32820
#define ID_INTERP_HQ_BICUBIC            32821
#define ID_TOOLS_SET_WALLPAPER          32828
#define ID_TOOLS_SET_CALENDAR_BKG       32829
#define ID_EDIT_FLIP_HORIZONTAL         32835
#define ID_EDIT_FLIP_VERTICAL           32836
#define ID_EDIT_ROTATE_CW               32837
#define ID_EDIT_ROTATE_CCW              32838
#define ID_FILE_OPEN                    57601
#define ID_EDIT_COPY                    57634
#define ID_EDIT_CUT                     57635
#define ID_EDIT_PASTE                   57637
#define ID_EDIT_UNDO                    57643
#define ID_APP_EXIT                     57665
#define ID_NEXT_PANE                    57680
#define ID_PREV_PANE                    57681
