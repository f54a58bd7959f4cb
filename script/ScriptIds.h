// String resources that the script engine reads by number.
#pragma once
#include "resources/resource.h"

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
