// Resource identifiers of the disc creator: its dialogs, their controls,
// bitmaps, icon, menu and strings (creator.rc), and the stored skin.
// Shared by the resource script and the code, so plain #defines only.
#pragma once

// ---- Dialogs --------------------------------------------------------------
#define IDD_CREATOR_ABOUT 100       // "About " + the program title
#define IDD_CREATOR_MAIN 102        // the source-file list window
#define IDD_CREATOR_SCAN_WAIT 143   // "please wait" while files are probed
#define IDD_CREATOR_DISC_TYPE 150   // "Select Disc Type"
#define IDD_CREATOR_JOB 155         // "Start Converting and Burning"

// ---- Strings, icon, menu, skin -------------------------------------------
#define IDS_CREATOR_ABOUT_ITEM 101  // "&About Vantrel..." (system menu)
#define IDR_CREATOR_ICON 128
#define IDR_CREATOR_SKIN 144        // type "RT_VENEERKIT"
#define IDR_CREATOR_LIST_MENU 146   // popup of the list (first submenu)

// System menu item of the About dialog.
#define IDM_CREATOR_ABOUT 16

// ---- Bitmaps of the list window's hover buttons ---------------------------
#define IDB_CREATOR_ABOUT 129
#define IDB_CREATOR_ADD 130
#define IDB_CREATOR_ADD_SMALL 131
#define IDB_CREATOR_REMOVE_SMALL 132
#define IDB_CREATOR_DOWN 133
#define IDB_CREATOR_RUN 134
#define IDB_CREATOR_EXIT 135
#define IDB_CREATOR_HELP 136
#define IDB_CREATOR_HOME 137
#define IDB_CREATOR_PLAY 138
#define IDB_CREATOR_REMOVE 140
#define IDB_CREATOR_REMOVE_ALL 141
#define IDB_CREATOR_UP 142

// ---- Bitmaps of the disc-type chooser -------------------------------------
#define IDB_CREATOR_CHOSEN 151
#define IDB_CREATOR_NOT_CHOSEN 152

// ---- List window (102) ----------------------------------------------------
#define IDC_MAIN_ADD 1000
#define IDC_MAIN_REMOVE 1001
#define IDC_MAIN_RUN 1002
#define IDC_MAIN_ABOUT 1003
#define IDC_MAIN_HOME 1004
#define IDC_MAIN_HELP 1005
#define IDC_MAIN_EXIT 1006
#define IDC_MAIN_LIST 1007
#define IDC_MAIN_ADD_SMALL 1008
#define IDC_MAIN_UP 1009
#define IDC_MAIN_REMOVE_SMALL 1010
#define IDC_MAIN_SCALE 1011
#define IDC_MAIN_DOWN 1012
#define IDC_MAIN_PLAY 1014
#define IDC_MAIN_REMOVE_ALL 1015
#define IDC_MAIN_DISC_TYPE 1039      // " Disc Type: %s"
#define IDC_MAIN_FILE_COUNT 1040     // " Added %d file(s)"
#define IDC_MAIN_TOTAL 1041          // " Total Duration: %s"
#define IDC_MAIN_CONVERTER 1070      // the conversion control, hidden (probing)

// Popup menu commands of the list.
#define ID_LIST_ADD_FILES 32771
#define ID_LIST_REMOVE 32772
#define ID_LIST_REMOVE_ALL 32773
#define ID_LIST_MOVE_UP 32774
#define ID_LIST_MOVE_DOWN 32775
#define ID_LIST_PLAY 32776

// ---- Scanning dialog (143) ------------------------------------------------
#define IDC_SCAN_TEXT 1016

// ---- Disc-type chooser (150) ----------------------------------------------
#define IDC_DISC_TYPE_VCD 1037
#define IDC_DISC_TYPE_SVCD 1038
#define IDC_DISC_TYPE_DVD 1040

// ---- About dialog (100) ---------------------------------------------------
#define IDC_ABOUT_HOME_LINK 1074
#define IDC_ABOUT_MAIL_LINK 1076
#define IDC_ABOUT_VERSION 1077

// ---- Disc job dialog (155) ------------------------------------------------
#define IDC_JOB_STATUS 1016          // status line, hidden while idle
#define IDC_JOB_PROGRESS 1033        // progress bar, 0 to 100
#define IDC_JOB_OUTPUT_LABEL 1044    // "Output Folder :"
#define IDC_JOB_TEMP_LABEL 1045      // "Temp Folder :"
#define IDC_JOB_TV_LABEL 1046        // "TV Type :"
#define IDC_JOB_LETTERBOX_LABEL 1048 // "Letter Box :"
#define IDC_JOB_OUTPUT_FOLDER 1052   // read-only edit
#define IDC_JOB_TEMP_DRIVE 1053      // drop-down list of fixed drives
#define IDC_JOB_SELECT_FOLDER 1054   // "Select"
#define IDC_JOB_ASPECT_LABEL 1055    // "Aspect Ratio :"
#define IDC_JOB_NTSC 1056            // radio group start: NTSC, PAL
#define IDC_JOB_PAL 1057
#define IDC_JOB_ASPECT_4X3 1058      // radio group start: 4:3, 16:9
#define IDC_JOB_ASPECT_16X9 1059
#define IDC_JOB_LETTERBOX 1060       // "Auto add letter box"
#define IDC_JOB_DRIVE_LABEL 1061     // "Select Driver :"
#define IDC_JOB_DRIVE 1062           // drop-down list of writer drives
#define IDC_JOB_LABEL_LABEL 1063     // "Disc Label :"
#define IDC_JOB_DISC_LABEL 1064      // edit, at most 128 characters
#define IDC_JOB_LOG 1065             // read-only multi-line edit
#define IDC_JOB_ELAPSED 1067         // "Elapsed Time : ...", hidden while idle
#define IDC_JOB_HINT 1068            // hint line at rest
#define IDC_JOB_CONVERTER 1069       // the conversion control
#define IDC_JOB_START 1051           // "Start" / "Stop" / "Burn"
