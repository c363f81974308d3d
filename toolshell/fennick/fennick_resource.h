// Identifiers shared by Fennick's code and its resource script.
#pragma once

#define IDM_FENNICK 1001

#define IDM_OPEN_ZEF 100
#define IDM_EXIT 101
#define IDM_IGNORE_NO 102
#define IDM_IGNORE_YES 103
#define IDM_INSTRUCTIONS 104
#define IDM_ABOUT 105
