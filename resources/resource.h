// Numeric resource ids, shared by the .rc files and the code.
#pragma once

// The application icon: the lowest id, so the shell shows it for the file.
#define IDI_TOVRIK 1

// Menus
#define IDM_MAIN_MENU 203
#define IDM_TREE_CONTEXT_MENU 204

// Dialogs
#define IDD_PROGRESS 201
#define IDD_SETTINGS 205
#define IDD_RECYCLE_PROGRESS 206
#define IDD_ANALYSIS_FILTER 207

// Menu commands
#define IDM_SHOW_VERSION 32769
#define IDM_SELECT_FOLDER 32771
#define IDM_RUN_ANALYSIS 32774
#define IDM_STOP_ANALYSIS 32775
#define IDM_RECYCLE_FILE 32777
#define IDM_SETTINGS 32779
#define IDM_FILE_INFO 32781
#define IDM_MOVE_FILE 32783
#define IDM_KEEP_THIS_RECYCLE_OTHERS 32784
#define IDM_RECYCLE_ALL_DUPLICATES 32785
#define IDM_SAVE_RESULTS_CSV 32786
#define IDM_OPEN_FILE 32787
#define IDM_OPEN_CONTAINING_FOLDER 32788
#define IDM_KEEP_NEWEST_RECYCLE_OTHERS 32789
#define IDM_KEEP_OLDEST_RECYCLE_OTHERS 32790
#define IDM_KEEP_IN_FOLDER_RECYCLE_OTHERS 32791
#define IDM_ANALYSIS_FILTER 32792

// Positions of popups in the menu bar
#define FILE_MENU_POSITION 0
#define ANALYSIS_MENU_POSITION 1

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Controls of the main window
#define IDC_CAPTION_LABEL 1
#define IDC_RESULTS_TREE 2

// Controls of the progress dialogs (the run and the recycle of many files)
#define IDC_PROGRESS_BAR 201
#define IDC_STOP_BUTTON 202

// Controls of the settings dialog
#define IDC_BROWSE_BUTTON 203
#define IDC_PLUGIN_FOLDER 205

// Controls of the analysis filter dialog
#define IDC_MINIMUM_SIZE 206
#define IDC_SKIP_FOLDERS 207
