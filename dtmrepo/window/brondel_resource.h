// Identifiers of Brondel's resources; the window's menu table (brondel_menu.cpp) uses the same
// numbers, and a test holds the resource script to that table.
#define IDI_BRONDEL 300
#define IDM_BRONDEL 200
#define IDM_INSTALL 100
#define IDM_REMOVE 101
#define IDM_RESTORE 102
#define IDM_REBUILD 103
#define IDM_EXIT 104
#define IDM_INSTRUCTIONS 105
#define IDM_EXAMPLE 106
#define IDM_ABOUT 107
