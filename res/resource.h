// Identifiers of the program's resources and dialog controls.
#pragma once

#define IDD_MAIN 101
#define IDD_ABOUT 102
#define IDI_PROGRAM 104
#define IDI_SMALL 105
#define IDI_ABOUT 110
#define IDB_BANNER 111
#define IDB_BANNER_2X 112

// Main dialog.
#define IDC_SCAN 1
#define IDC_FIX 2
#define IDC_ABOUT 3
#define IDC_FIX_DESKTOP 4
#define IDC_STATUS 1000
#define IDC_PROGRESS 1001
#define IDC_REPORT 1002
#define IDC_PROGRESS_LABEL 1003
#define IDC_BANNER 1009

// About box.
#define IDC_LINK 1004
#define IDC_PRODUCT 1005
#define IDC_VERSION_LABEL 1006
#define IDC_UPDATE_LABEL 1007
#define IDC_MAKER 1008
