// Vornick's resource numbers, shared by the resource script and the program.
#pragma once

#define IDM_VORNICK 1
#define IDM_OPEN_ZEF 100
#define IDM_EXIT 101
#define IDM_INSTRUCTIONS 102
#define IDM_ABOUT 103
