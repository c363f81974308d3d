#pragma once

// Identifiers of Halbrick's main window, its controls and its menu, shared by the resource
// script and the program.

#define IDD_HALBRICK 100
#define IDM_HALBRICK 200

#define IDM_EXIT 101
#define IDM_ABOUT 102

#define IDC_QUERY 1001
#define IDC_ADDRESS 1002
#define IDC_PRESET_USB 1003
#define IDC_PRESET_192 1004
#define IDC_PRESET_172 1005
#define IDC_DETAIL 1006
#define IDC_REPORT 1007
#define IDC_PROGRESS 1008
