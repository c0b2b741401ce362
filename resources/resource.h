/* Resource, control and command numbers, shared by the .rc files and the code. */
#pragma once

#define IDR_MAINMENU 10000
#define IDD_RECORD 30000
#define IDI_TABULO 30001

/* Controls of the record panel (dialog 30000). */
#define IDC_VALUE_EDIT 30001
#define IDC_NAME_EDIT 30002
#define IDC_VALUE_LABEL 4001
#define IDC_NAME_LABEL 4003

/* Commands: menu items and accelerators. */
#define IDM_NEW 10002
#define IDM_SAVE 10003
#define IDM_SAVE_AS 10004
#define IDM_ADD 10006
#define IDM_REMOVE 10007
#define IDM_REMOVE_ALL 10008
#define IDM_FONT 10010
#define IDM_ABOUT 10012
#define IDM_OPEN 10013
#define IDM_EXIT 10014
#define IDM_SORT_ASCENDING 10015
#define IDM_SORT_DESCENDING 10016
#define IDM_TEXT_COLOR 10017
#define IDM_BACKGROUND_COLOR 10018
#define IDM_USER_GUIDE 10030
#define IDM_MOVE_UP 10031
#define IDM_MOVE_DOWN 10032
#define IDM_FIND 10033
#define IDM_FIND_NEXT 10034
#define IDM_FIND_PREVIOUS 10035
#define IDM_WORD_WRAP 10036
/* The File menu's recent files, the most recent first; put in at run time. */
#define IDM_RECENT_FILE_1 10040
#define IDM_RECENT_FILE_2 10041
#define IDM_RECENT_FILE_3 10042
#define IDM_RECENT_FILE_4 10043
#define IDM_SELECT_ALL 20000
