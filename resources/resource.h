// Identifiers of the installer's resources. Numbers are fixed: string
// records, templates and controls are addressed by them.
#pragma once

// Strings
#define IDS_PRODUCT_DIR_DEFAULT   2007
#define IDS_APP_TITLE             2011
#define IDS_DEFAULT_GROUP         2400
#define IDS_KB_SEPARATOR          11010
#define IDS_KB_UNIT               11011
#define IDS_MAX_NAME_LENGTH       11012
#define IDS_EXIT_QUESTION         11024
#define IDS_EMPTY_FILE_NAME       11111
#define IDS_INVALID_PATH          11143

// Icons and bitmaps
#define IDI_PRODUCT               2
#define IDI_BULLET                1601
#define IDB_TILE                  1209
#define IDB_PRODUCT               1240

// Dialog templates
#define IDD_WELCOME               1076

// Controls shared by the pages
#define IDC_BODY_FIRST            10421
#define IDC_BACK                  10102
#define IDC_HELP_BUTTON           10104
#define IDC_NEXT                  10105
#define IDC_HIDDEN_NOTE           10407
#define IDC_PRODUCT_PICTURE       1240
#define ID_HELP_COMMAND           57669
