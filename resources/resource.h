// Identifiers of the installer's resources. Numbers are fixed: string
// records, templates and controls are addressed by them.
#pragma once

// ---- Strings ---------------------------------------------------------------
#define IDS_FLAG_MEMORY_MANAGER   1261
#define IDS_PRODUCT_DIR_DEFAULT   2007  // "Velomir": default directory, CRVN.INI section, App Paths name
#define IDS_PRODUCT_VERSION       2008  // "8.00"
#define IDS_APP_TITLE             2011  // "Corvane Velomire Installation"
#define IDS_TYPE_LETTERS          2016  // "XC": Express, Custom
#define IDS_BILLBOARD_PERIOD      2060  // "5000" ms
#define IDS_BILLBOARD_COUNT       2203  // "3"
#define IDS_INSTALLED_VERSION     2207  // "8.0": memory manager version being installed
#define IDS_CTL3D_MIN_VERSION     2208  // "226": lowest version of shared library 2025
#define IDS_TOOLHELP_MIN_VERSION  2209  // "310": lowest version of shared library 2026
// Files of the product the installer knows by name (empty: none).
#define IDS_PRODUCT_INI           2020  // "CRVN.INI"
#define IDS_CHECKED_PROGRAM       2021  // "RHREG.COM": version checked against 2207
#define IDS_CHECKED_DRIVER        2022  // "RHOLD386.SYS": named by the question 11146
#define IDS_SETUP_TOOL            2023  // "RHSETUP.EXE"
#define IDS_CLEANUP_PROGRAM       2024  // "CVDEL.EXE"
#define IDS_SHARED_LIBRARY_FIRST  2025  // "CTL3DV2.DLL", "TOOLHELP.DLL": minimum versions 2208, 2209
#define IDS_TUNING_FILE           2027  // "MEMTUNE": .DEF and .NOT
#define IDS_TRAINER_INI           2028  // "TRICORN\TRICORN.INI"
#define IDS_EARLIER_SECTION       2029  // "Velomire": the product INI section of an earlier release
#define IDS_DEFAULT_GROUP         2400  // "Corvane Velomire"
#define IDS_SETUP_NOT_FOUND       2402
#define IDS_KB_SEPARATOR          11010
#define IDS_KB_UNIT               11011
#define IDS_MAX_NAME_LENGTH       11012
#define IDS_WAIT_CONFIGURATION    11020
#define IDS_BROWSE_TITLE          11021
#define IDS_TRAINER_INI_SECTION   11023  // "User Information"
#define IDS_EXIT_QUESTION         11024
#define IDS_WAIT_GROUP            11029
#define IDS_REG_PRODUCT_ROOT      11030  // "Software\Corvane"
#define IDS_REG_CURRENT_VERSION   11031  // "Software\Microsoft\Windows\CurrentVersion\"
#define IDS_REG_OWNER             11032  // "Corvane"
#define IDS_REG_APP_PATHS         11033  // "App Paths"
#define IDS_RENAME_QUESTION       11034
#define IDS_INVALID_RECORD        11110  // "Invalid resource string %1."
#define IDS_EMPTY_FILE_NAME       11111
#define IDS_LICENSE_TOO_LARGE     11116
#define IDS_LICENSE_OPEN_ERROR    11117
#define IDS_LICENSE_READ_ERROR    11118
#define IDS_DRIVE_NOT_AVAILABLE   11119
#define IDS_INVALID_DRIVE_CAPTION 11120
#define IDS_WARNING_CAPTION       11121
#define IDS_NOT_ENOUGH_SPACE      11122
#define IDS_NO_COMPONENT          11125
#define IDS_CANNOT_MAKE_DIRECTORY 11126
#define IDS_UNPACK_EXIT_ERROR     11128
#define IDS_UNPACK_OPEN_ERROR     11129
#define IDS_UNPACK_ERROR          11130
#define IDS_UNPACK_OPEN_CAPTION   11131
#define IDS_UNPACK_ERROR_CAPTION  11132
#define IDS_LIBRARY_NOT_LOADED    11133
#define IDS_CANNOT_DELETE         11140
#define IDS_CANNOT_STAGE          11141
#define IDS_FILE_MUST_BE_HERE     11142
#define IDS_INVALID_PATH          11143
#define IDS_GROUP_FIRST_CHAR      11144
#define IDS_GROUP_BAD_CHAR        11145
#define IDS_NEWER_VERSION         11146
#define IDS_SOURCE_TOO_LONG       11190
#define IDS_SETUP_BUSY            11191
#define IDS_USAGE                 11192  // the command-line options
#define IDS_LOG_NOT_WRITTEN       11193
#define IDS_RUN_PUT_BACK          11194  // an interrupted run's files put back
#define IDS_TRAINER_NAME          11221  // "TRICORN"
#define IDS_COMPONENT_SIZE_FIRST  11401  // 11401 ... 11405
#define IDS_ITEM_RECORD_FIRST     11601
#define IDS_FOLLOW_UP_FIRST       11681
#define IDS_DISK_LABEL_BASE       11700  // diskette n: 11700 + n

// The install script: line k is string IDS_SCRIPT_FIRST + k.
#define IDS_SCRIPT_FIRST          11501

// Component names of the install log's "Program" entries.
#define IDS_NAME_MEMORY_MANAGER   1301  // component 11, and every unknown number
#define IDS_NAME_TECHNOTES        1302  // 21
#define IDS_NAME_TRAINER          1303  // 31
#define IDS_NAME_DISK_CACHE       1304  // 41
#define IDS_NAME_COMPONENT_51     1305
#define IDS_NAME_COMPONENT_61     1306

// Messages of the file copy.
#define IDS_OPEN_ERROR            11112 // "Error Opening File %1. ..."
#define IDS_WRITE_ERROR           11113 // "Error Writing to File %1. ..."
#define IDS_ALLOC_ERROR           11114 // "GlobalAlloc failed in File %1. ..."
#define IDS_READ_ERROR            11115 // "Error Reading File %1. ..."

// ---- The uninstaller's strings (remove.rc): none names a product -----------
#define IDS_REMOVE_CAPTION        20001  // "%1 Removal"
#define IDS_REMOVE_QUESTION       20002
#define IDS_REMOVE_NO_LOG         20003
#define IDS_REMOVE_BUSY           20004
#define IDS_REMOVE_NO_RIGHTS      20005
#define IDS_REMOVE_DONE           20006
#define IDS_REMOVE_KEPT           20007
#define IDS_REMOVE_AT_RESTART     20008
#define IDS_REMOVE_CHANGED        20009
#define IDS_REMOVE_SHARED         20010
#define IDS_REMOVE_MOVED          20011
#define IDS_REMOVE_USAGE          20012
#define IDS_KEPT_CHANGED          20020
#define IDS_KEPT_REFUSED          20021
#define IDS_KEPT_UNVERIFIED       20022
#define IDS_KEPT_GROUP            20023
#define IDS_KEPT_REGISTRY         20024
#define IDS_KEPT_INI              20025
#define IDS_KEPT_NOT_INSTALLED    20026
#define IDS_KEPT_NOT_REMOVED      20027
#define IDS_AT_RESTART            20028

// ---- Icons and bitmaps -----------------------------------------------------
#define IDI_PRODUCT               2
#define IDI_BULLET                1601
#define IDI_DISK                  1208  // disk prompt and wait dialog
#define IDI_COMPLETION            4003
#define IDI_MEMORY_MANAGER        4024
#define IDI_TECHNOTES             4018
#define IDI_TRAINER               4023
#define IDI_DISK_CACHE            4022
#define IDB_TILE                  1209
#define IDB_PRODUCT               1240
#define IDB_LOGO                  10113
#define IDB_EXPRESS               1223
#define IDB_CUSTOM                1222
#define IDB_LIGHT_GREEN           10107
#define IDB_LIGHT_RED             10108
#define IDB_LIGHT_YELLOW          10109
#define IDB_BILLBOARD_FIRST       1231  // 1231 ... 1234
#define IDB_COMPLETION            1216

// ---- Dialog templates ------------------------------------------------------
#define IDD_COMPLETION            1001
#define IDD_LOCATIONS             1006
#define IDD_BILLBOARD_FIRST       1021  // 1021 ... 1024
#define IDD_COMPONENTS            1075
#define IDD_WELCOME               1076
#define IDD_INSTALL_TYPE          1077
#define IDD_WAIT                  10002
#define IDD_PROGRESS              10003
#define IDD_GROUP                 10005
#define IDD_LICENSE               10006
#define IDD_DISK_PROMPT           10007
#define IDD_REMOVE_PROGRESS       20100  // the uninstaller's progress

// ---- Controls shared by the pages ------------------------------------------
#define IDC_BODY_FIRST            10421
#define IDC_BACK                  10102
#define IDC_EXIT                  10103  // Exit (locations, components), Finish (completion)
#define IDC_HELP_BUTTON           10104
#define IDC_NEXT                  10105  // Next, Accept, Continue
#define IDC_HIDDEN_NOTE           10407
#define IDC_PRODUCT_PICTURE       1240
#define IDC_LOGO                  10113
#define IDC_DRIVE                 10402
#define IDC_REQUIRED              1700
#define IDC_AVAILABLE             10403
#define IDC_INDICATOR             10110
#define ID_HELP_COMMAND           57669

// Licence page
#define IDC_LICENSE_TEXT          10302

// Locations page
#define IDC_DIRECTORY             1501
#define IDC_BROWSE_DIRECTORY      1245
#define IDC_GROUP_NAME            10410
#define IDC_BROWSE_GROUP          1244

// Installation type page
#define IDC_EXPRESS               1223
#define IDC_CUSTOM                1222

// Components page
#define IDC_CHECK_MEMORY_MANAGER  1431
#define IDC_CHECK_TECHNOTES       1432
#define IDC_CHECK_DISK_CACHE      1433
#define IDC_CHECK_TRAINER         1434
#define IDC_SLOT_ICON_FIRST       11211  // the icons of slots 1 ... 4
#define IDC_SLOT5_LABEL           1435
#define IDC_SIZE_SLOT2            11202
#define IDC_SIZE_SLOT3            11203
#define IDC_SIZE_SLOT4            11204
#define IDC_SIZE_SLOT5            11205
#define IDC_SIZE_SLOT1            11206
#define IDC_SLOT_BUTTON_FIRST     1246  // 1246 ... 1250
#define ID_INSTALL_COMMAND        1210

// Program group page
#define IDC_ADD_TO_GROUP          10203
#define IDC_GROUP_EDIT            10303
#define IDC_GROUP_LIST            1620

// Completion page
#define IDC_COMPLETION_PICTURE    1216
#define IDC_READ_ME               10106
#define IDC_RAMHOLD_SETUP         1206
#define IDC_SETUP_ICON            1207  // the setup tool's part: icon and heading
#define IDC_SETUP_HEADING         1211

// Progress window, billboards, disk prompt, wait dialog
#define IDC_SOURCE_LABEL          10201
#define IDC_DESTINATION_LABEL     10202
#define IDC_SOURCE_TEXT           10404
#define IDC_DESTINATION_TEXT      10405
#define IDC_PROGRESS_BAR          10112
#define IDC_DIALOG_ICON           1490
#define IDC_DISK_PROMPT_TEXT      103
#define IDC_DISK_LABEL            10406
#define IDC_DISK_LOCATION         10304
#define IDC_WAIT_TEXT             10401

// ---- Private window messages -----------------------------------------------
// To the progress window: wParam = overall percent.
#define UM_PROGRESS               0x40A  // WM_USER + 10
// From a picture button to its parent: wParam = the button's control ID.
#define UM_BUTTON_HOVER           0x40B  // WM_USER + 11
// From a page to the main window when the user confirmed Exit (wParam 2).
#define UM_EXIT_CONFIRMED         0x401  // WM_USER + 1

// ---- Page results ----------------------------------------------------------
// The end codes of the wizard's pages and prompts. Back and the two
// installation types end their page with their own control's ID.
#ifndef RC_INVOKED
#include <windows.h>

enum PageResult : int {
    kPageMissing = 0,    // a page this build does not have: ends the sequence
    kPageNext = 1,       // Next, OK, Accept, Install, Continue
    kPageExit = 2,       // Exit, Cancel, Finish, after the page confirmed it
    kPageBack = 10102,   // "< &Back"
    kPageCustom = 1222,
    kPageExpress = 1223,
};
static_assert(kPageNext == IDOK && kPageExit == IDCANCEL, "pages end like the dialog manager's buttons");
static_assert(kPageBack == IDC_BACK, "Back ends its page with its control ID");
static_assert(kPageCustom == IDC_CUSTOM && kPageExpress == IDC_EXPRESS,
              "the installation types end their page with their control IDs");
#endif
