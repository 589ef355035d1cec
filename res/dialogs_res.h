// Control ids of the three modal dialogs and the find bar. Stored settings, the page writer
// and the tests address the controls by these numbers, so they never change.
// Plain defines: the resource compiler and the portable core both read it.
#pragma once

// "DIALOG1": the Customize dialog.
#define IDC_CUST_MAIN_SIZE 1000     // digits-only edit: main font size
#define IDC_CUST_LIST_SIZE 1001     // digits-only edit: list font size
#define IDC_CUST_MAIN_FACE 1002     // drop-down list: main font face
#define IDC_CUST_LIST_FACE 1003     // drop-down list: list font face
#define IDC_CUST_MAIN_COLOR 1004    // button: choose MainColor
#define IDC_CUST_LISTFO_COLOR 1006  // button: choose ListFoColor
#define IDC_CUST_LISTBK_COLOR 1007  // button: choose ListBkColor
#define IDC_CUST_MAIN_SWATCH 1012
#define IDC_CUST_LISTFO_SWATCH 1013
#define IDC_CUST_LISTBK_SWATCH 1014
#define IDC_CUST_SIZEBT 1019
#define IDC_CUST_SIZEKB 1020
#define IDC_CUST_SIZEMB 1021
#define IDC_CUST_TITLE 1022
#define IDC_CUST_MOVEINFO 1023
#define IDC_CUST_AUDIOINFO 1024
#define IDC_CUST_VIDEORATE 1025
#define IDC_CUST_AUDIORATE 1026
#define IDC_CUST_FLAMERATE 1027
#define IDC_CUST_RESOLUSION 1028
#define IDC_CUST_PLAYTIME 1029
#define IDC_CUST_CREATER 1030
#define IDC_CUST_JANLE 1031
#define IDC_CUST_COMMENT 1032
#define IDC_CUST_DIRPATH 1033
#define IDC_CUST_VOLLABEL 1034
#define IDC_CUST_AUTOSCAN 1035  // edit: auto-scan folder
#define IDC_CUST_BROWSE 1036    // button: browse for the folder
#define IDC_CUST_LISTCLEAR 1037
#define IDC_CUST_SIZEINFO 1046
#define IDC_CUST_MODERN 1047    // today's containers in a scan
#define IDC_CUST_LISTUTF8 1048  // lists in UTF-8
// The track columns, off unless turned on.
#define IDC_CUST_AUDIOTRACKS 1049
#define IDC_CUST_SUBTITLES 1050
#define IDC_CUST_CHANNELS 1051
#define IDC_CUST_VIDEOBITS 1052
#define IDC_CUST_CHAPTERS 1053
#define IDC_CUST_STATUS 1054
#define IDC_CUST_RESET 3

// "DIALOG2": the item edit dialog.
#define IDC_EDIT_TITLE 1000
#define IDC_EDIT_CREATOR 1001
#define IDC_EDIT_GENRE 1002  // editable drop-down combo box
#define IDC_EDIT_COMMENT 1009
#define IDC_EDIT_FILENAME 1019
#define IDC_EDIT_FOLDER 1020
#define IDC_EDIT_SIZE 1021
#define IDC_EDIT_INFO1 1022
#define IDC_EDIT_INFO2 1023
#define IDC_EDIT_CLEAR 3  // "情報削除"

// "HTMLEDIT": the HTML output options dialog.
#define IDC_HTML_SAVE_SETTINGS 3
#define IDC_HTML_CAPTION 1000
#define IDC_HTML_TOPTITLE 1001
#define IDC_HTML_FOFONT_COLOR 1004
#define IDC_HTML_FOBACK_COLOR 1005
#define IDC_HTML_IMAGE_BROWSE 1006
#define IDC_HTML_FITBACK_COLOR 1007
#define IDC_HTML_FITFONT_COLOR 1008
#define IDC_HTML_IMAGE 1009
#define IDC_HTML_FIIBACK1_COLOR 1010
#define IDC_HTML_FIIFONT1_COLOR 1011
#define IDC_HTML_FOBACK_SWATCH 1012
#define IDC_HTML_FITBACK_SWATCH 1013
#define IDC_HTML_FITFONT_SWATCH 1014
#define IDC_HTML_FIIBACK1_SWATCH 1015
#define IDC_HTML_FIIBACK2_COLOR 1016
#define IDC_HTML_FIIFONT2_COLOR 1017
#define IDC_HTML_TOP_LEFT 1024
#define IDC_HTML_TOP_CENTER 1025
#define IDC_HTML_TOP_RIGHT 1026
#define IDC_HTML_BACK_COLOUR 1027
#define IDC_HTML_BACK_IMAGE 1028
#define IDC_HTML_FIT_LEFT 1029
#define IDC_HTML_FIT_CENTER 1030
#define IDC_HTML_FIT_RIGHT 1031
#define IDC_HTML_ROWS_ALIKE 1032
#define IDC_HTML_ROWS_ALTERNATE 1034
#define IDC_HTML_TOP_SIZE 1037
#define IDC_HTML_CELL_SIZE 1038
#define IDC_HTML_FIIFONT1_SWATCH 1039
#define IDC_HTML_FIIBACK2_SWATCH 1040
#define IDC_HTML_FIIFONT2_SWATCH 1041
#define IDC_HTML_FOFONT_SWATCH 1042
#define IDC_HTML_FII_LEFT 1043
#define IDC_HTML_FII_CENTER 1044
#define IDC_HTML_FII_RIGHT 1045

// "FINDBAR": the modeless find bar.
#define IDC_FIND_TEXT 1100    // edit: the text to find
#define IDC_FIND_COLUMN 1101  // drop-down list: every column, or one
#define IDC_FIND_KANA 1102    // check box: hiragana = katakana
#define IDC_FIND_NEXT 1103    // "次を検索"
#define IDC_FIND_PREV 1104    // "前を検索"
#define IDC_FIND_ALL 1105     // "すべて選択"
#define IDC_FIND_RESULT 1106  // static: what the last find found
