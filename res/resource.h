// Resource and command ids. Menu items, context-menu items, toolbar
// buttons and accelerators all carry the command ids 40001 to 40056;
// stored settings and tests drive the program by these numbers, so they
// never change (new commands take the next free numbers).
#pragma once

// Command ids (shortcut in the trailing comment).
#define IDM_NEW 40001   // Ctrl+N
#define IDM_OPEN 40002  // Ctrl+O
#define IDM_SAVEAS 40003
#define IDM_SAVE 40004  // Ctrl+S
#define IDM_EXIT 40005
#define IDM_SCAN 40006      // Ctrl+M
#define IDM_AUTOSCAN 40007  // Ctrl+A
#define IDM_CUT 40008       // Ctrl+X
#define IDM_COPY 40009      // Ctrl+C
#define IDM_PASTE 40010     // Ctrl+V
#define IDM_DELETE 40011    // Del
#define IDM_LISTEDIT 40012  // Ctrl+E
#define IDM_SORT_NAME 40013
#define IDM_SORT_EXT 40014
#define IDM_FIND 40015  // Ctrl+F
#define IDM_TOOLBAR 40016
#define IDM_STATUSBAR 40017
#define IDM_CUSTOMIZE 40018
#define IDM_ENDSET 40019
#define IDM_VERSION 40020
#define IDM_FIT_ALL 40021
#define IDM_FIT_FILENAME 40022
#define IDM_FIT_SIZEMB 40023
#define IDM_FIT_SIZEKB 40024
#define IDM_FIT_TITLE 40025
#define IDM_FIT_DIRPATH 40026
#define IDM_FIT_MOVEINFO 40027
#define IDM_FIT_AUDIOINFO 40028
#define IDM_FIT_VIDEORATE 40029
#define IDM_FIT_AUDIORATE 40030
#define IDM_FIT_FLAMERATE 40031
#define IDM_FIT_RESOLUSION 40032
#define IDM_FIT_PLAYTIME 40033
#define IDM_FIT_JANLE 40034
#define IDM_FIT_CREATER 40035
#define IDM_FIT_COMMENT 40036
#define IDM_FIT_SIZEBT 40038
#define IDM_GRIDLINE 40039
#define IDM_FIT_VOLLABEL 40040
#define IDM_WRITEINFO 40041    // Ctrl+W
#define IDM_CLEARCHECKS 40042  // Ctrl+U
#define IDM_PLAY 40044         // Ctrl+P
#define IDM_FIND_NEXT 40045    // F3
#define IDM_FIND_PREV 40046    // Shift+F3
#define IDM_DUP_ALL 40047      // every row of each set of twins
#define IDM_DUP_BUT_ONE 40048  // all but one row of each set
#define IDM_RESCAN 40049       // the folders of the rows
#define IDM_RESCAN_FOLDER 40050
#define IDM_FIT_AUDIOTRACKS 40051
#define IDM_FIT_SUBTITLES 40052
#define IDM_FIT_CHANNELS 40053
#define IDM_FIT_VIDEOBITS 40054
#define IDM_FIT_CHAPTERS 40055
#define IDM_FIT_STATUS 40056

#define IDM_FIRST 40001
#define IDM_LAST 40056

// Child controls of the main window.
#define IDC_CATALOGUE_LIST 100
#define IDC_STATUSBAR 101
#define IDC_TOOLBAR 102

// Toolbar tooltip strings.
#define IDS_TIP_NEW 10
#define IDS_TIP_OPEN 11
#define IDS_TIP_SAVEAS 12
#define IDS_TIP_SCAN 13
#define IDS_TIP_CUT 14
#define IDS_TIP_COPY 15
#define IDS_TIP_PASTE 16
