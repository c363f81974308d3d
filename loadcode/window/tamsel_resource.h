// Resource and command identifiers of Tamsel, shared by the resource script and the code.
#pragma once

#define IDI_TAMSEL 1000
#define IDD_TAMSEL 300
#define IDM_TAMSEL 301
#define IDC_DTM_NAME 1001
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

#define IDM_OPEN_SVC 100
#define IDM_EXIT 101
#define IDM_INSTRUCTIONS 104
#define IDM_ABOUT 105
