// Resource and control ids of the program and the limits of its Settings dialog: the one source
// for res/orvo.rc, the program's code and the tests. Plain #defines only: the resource compilers
// read this file through their C preprocessor.
#ifndef ORVO_RES_RESOURCE_H
#define ORVO_RES_RESOURCE_H

// Strings
#define MainWindowClassString 40003
#define MainWindowTitleString 40005

// Program and notification-area icons
#define ProgramIcon 105
#define TrayIconLarge 160
#define TrayIconSmall 161

// Status icons (small 16x16, large 32x32)
#define BatteryUnknownIconSmall 119
#define ChargingIconSmall 121
#define NoCardIconSmall 159
#define ChargingIconLarge 185
#define BatteryUnknownIconLarge 186
#define NoCardIconLarge 188

// Icons the Settings templates name but the program does not carry: their statics stay empty.
#define SettingsBatteryIcon 120
#define SettingsMemoryIcon 147
#define SettingsStorageIcon 135
#define SettingsCardIcon 122

// Indicator pictures and masks (small 16x16, large 32x32) and the digit strips
#define BatteryColourSmall 163
#define SmallDigitStrip 164
#define BatteryMaskSmall 165
#define MemoryMaskSmall 167
#define MemoryColourSmall 168
#define StorageMaskSmall 169
#define StorageColourSmall 170
#define CardMaskSmall 171
#define CardColourSmall 172
#define BatteryColourLarge 175
#define StorageMaskLarge 176
#define StorageColourLarge 177
#define BatteryMaskLarge 178
#define LargeDigitStrip 179
#define MemoryMaskLarge 180
#define CardMaskLarge 181
#define MemoryColourLarge 182
#define CardColourLarge 183

// Dialog templates
#define AboutDialogTemplate 101
#define SettingsPortraitTemplate 102
#define ProgramsDialogTemplate 162
#define SettingsLandscapeTemplate 163

// About box
#define IDC_ABOUT_CONTINUE 1038

// Programs dialog
#define IDC_PROGRAM_LIST 1017
#define IDC_CLOSE 1018
#define IDC_CLOSE_ALL 1019
#define IDC_SWITCH_TO 1024
#define IDC_CLOSE_ALL_EXCEPT 1035

// Settings dialog: the same ids in both templates
#define IDC_CARD_LIST 1008
#define IDC_SHOW_BATTERY 1010
#define IDC_SHOW_PROGRAM_MEMORY 1011
#define IDC_SHOW_MAIN_STORAGE 1012
#define IDC_SHOW_STORAGE_CARD 1013
#define IDC_CONFIRM_CLOSE_ALL 1022
#define IDC_REFRESH 1025
#define IDC_REFRESH_SPIN 1026
#define IDC_ICON_X 1028
#define IDC_ICON_X_SPIN 1029
#define IDC_RUN_AT_STARTUP 1031
#define IDC_LARGE_ICONS 1032

#define IDC_STATIC_NONE -1

// The Settings dialog's limits. The up-down controls take their ranges from these, the edits
// their lengths, and Done limits what it reads to them.
#define IconXMin 0
#define IconXMax 639
#define IconXDigits 3
// Where the indicator goes when the stored position lies outside IconXMin..IconXMax.
#define IconXFallback 100
#define RefreshSecondsMin 1
#define RefreshSecondsMax 99
#define RefreshSecondsDigits 2

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
