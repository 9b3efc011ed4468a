// Resource ids of the program, shared by res/orvo.rc and the program's code. Plain #defines
// only: the resource compilers read this file through their C preprocessor.
#ifndef ORVO_RES_RESOURCE_H
#define ORVO_RES_RESOURCE_H

// Strings
#define IDS_MAIN_CLASS 40003
#define IDS_MAIN_TITLE 40005

// Program and notification-area icons
#define IDI_PROGRAM 105
#define IDI_TRAY_LARGE 160
#define IDI_TRAY_SMALL 161

// Status icons (small 16x16, large 32x32)
#define IDI_BATTERY_UNKNOWN_SMALL 119
#define IDI_CHARGING_SMALL 121
#define IDI_NO_CARD_SMALL 159
#define IDI_CHARGING_LARGE 185
#define IDI_BATTERY_UNKNOWN_LARGE 186
#define IDI_NO_CARD_LARGE 188

// Icons the Settings templates name but the program does not carry: their statics stay empty.
#define IDI_SETTINGS_BATTERY 120
#define IDI_SETTINGS_MEMORY 147
#define IDI_SETTINGS_STORAGE 135
#define IDI_SETTINGS_CARD 122

// Indicator pictures and masks (small 16x16, large 32x32) and the digit strips
#define IDB_BATTERY_COLOUR_SMALL 163
#define IDB_DIGITS_SMALL 164
#define IDB_BATTERY_MASK_SMALL 165
#define IDB_MEMORY_MASK_SMALL 167
#define IDB_MEMORY_COLOUR_SMALL 168
#define IDB_STORAGE_MASK_SMALL 169
#define IDB_STORAGE_COLOUR_SMALL 170
#define IDB_CARD_MASK_SMALL 171
#define IDB_CARD_COLOUR_SMALL 172
#define IDB_BATTERY_COLOUR_LARGE 175
#define IDB_STORAGE_MASK_LARGE 176
#define IDB_STORAGE_COLOUR_LARGE 177
#define IDB_BATTERY_MASK_LARGE 178
#define IDB_DIGITS_LARGE 179
#define IDB_MEMORY_MASK_LARGE 180
#define IDB_CARD_MASK_LARGE 181
#define IDB_MEMORY_COLOUR_LARGE 182
#define IDB_CARD_COLOUR_LARGE 183

// Dialog templates
#define IDD_ABOUT 101
#define IDD_SETTINGS_PORTRAIT 102
#define IDD_PROGRAMS 162
#define IDD_SETTINGS_LANDSCAPE 163

// About box
#define IDC_ABOUT_CONTINUE 1038

// Programs dialog
#define IDC_PROGRAM_LIST 1017
#define IDC_CLOSE 1018
#define IDC_CLOSE_ALL 1019
#define IDC_SWITCH_TO 1024
#define IDC_CLOSE_ALL_EXCEPT 1035

// Settings dialog
#define IDC_CARD_LIST 1008
#define IDC_SHOW_BATTERY 1010
#define IDC_SHOW_MEMORY 1011
#define IDC_SHOW_STORAGE 1012
#define IDC_SHOW_CARD 1013
#define IDC_CONFIRM_CLOSE_ALL 1022
#define IDC_REFRESH_EDIT 1025
#define IDC_REFRESH_SPIN 1026
#define IDC_ICON_X_EDIT 1028
#define IDC_ICON_X_SPIN 1029
#define IDC_RUN_AT_STARTUP 1031
#define IDC_LARGE_ICONS 1032

#define IDC_STATIC_NONE -1

// Window and control styles for the resource script. The compilers see no platform headers,
// and the program's code takes these from the platform's own headers instead.
#ifdef RC_INVOKED
#define RC_WS_POPUP 0x80000000L
#define RC_WS_CHILD 0x40000000L
#define RC_WS_VISIBLE 0x10000000L
#define RC_WS_CAPTION 0x00C00000L
#define RC_WS_BORDER 0x00800000L
#define RC_WS_VSCROLL 0x00200000L
#define RC_WS_GROUP 0x00020000L
#define RC_WS_TABSTOP 0x00010000L
#define RC_DS_SETFONT 0x0040L
#define RC_SS_LEFT 0x0000L
#define RC_SS_ICON 0x0003L
#define RC_BS_PUSHBUTTON 0x0000L
#define RC_BS_AUTOCHECKBOX 0x0003L
#define RC_BS_GROUPBOX 0x0007L
#define RC_ES_RIGHT 0x0002L
#define RC_ES_AUTOHSCROLL 0x0080L
#define RC_ES_READONLY 0x0800L
#define RC_LBS_NOTIFY 0x0001L
#define RC_LBS_NOINTEGRALHEIGHT 0x0100L
#define RC_CBS_DROPDOWNLIST 0x0003L
#define RC_UDS_SETBUDDYINT 0x0002L
#define RC_UDS_ALIGNRIGHT 0x0004L
#define RC_UDS_AUTOBUDDY 0x0010L
#define RC_UDS_ARROWKEYS 0x0020L
#define RC_UDS_HORZ 0x0040L
#endif

#endif
