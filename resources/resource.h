// Resource ids of the program's own file, shared by the resource scripts and the C++ code.
// Plain macros, because the resource compiler reads this file too. The numbers are part of
// the program's interface with its resources and must not change.
#pragma once

// Dialog templates
#define IDD_PANEL 209
#define IDD_HOTKEYS 1045
#define IDD_REAPPLY_DELAY 1046
#define IDD_LANGUAGE 1050
#define IDD_MONITORS 1080
#define IDD_DOWNLOAD_PROGRESS 10100
#define IDD_UPDATE 10200

// Panel (IDD_PANEL): sliders, the hidden icon holders above them, and the button column.
// A control's tooltip is the string whose id equals the control id.
#define IDC_BRIGHTNESS_SLIDER 1000
#define IDC_BRIGHTNESS_ICON 1001
#define IDC_CONTRAST_SLIDER 1002
#define IDC_CONTRAST_ICON 1003
#define IDC_COLOR_TEMPERATURE_SLIDER 1004
#define IDC_RED_SLIDER 1005
#define IDC_GREEN_SLIDER 1006
#define IDC_BLUE_SLIDER 1007
#define IDC_COLOR_TEMPERATURE_ICON 1008
#define IDC_RED_ICON 1009
#define IDC_GREEN_ICON 1010
#define IDC_BLUE_ICON 1011
#define IDC_FACTORY_RESET 1012
#define IDC_EXPAND 1013
#define IDC_HOTKEYS 1027
#define IDC_REAPPLY_DELAY 1028
#define IDC_LANGUAGE 1031

// Monitors dialog (IDD_MONITORS): the monitor list, the share of brightness and contrast
// of the selected one (an edit with its spin each), whether it is adjusted, Identify; OK
// and Cancel are IDOK and IDCANCEL.
#define IDC_MONITOR_LIST 1081
#define IDC_BRIGHTNESS_LABEL 1082
#define IDC_CONTRAST_LABEL 1083
#define IDC_LOW_LABEL 1084
#define IDC_HIGH_LABEL 1085
#define IDC_BRIGHTNESS_LOW 1086
#define IDC_BRIGHTNESS_LOW_SPIN 1087
#define IDC_BRIGHTNESS_HIGH 1088
#define IDC_BRIGHTNESS_HIGH_SPIN 1089
#define IDC_CONTRAST_LOW 1090
#define IDC_CONTRAST_LOW_SPIN 1091
#define IDC_CONTRAST_HIGH 1092
#define IDC_CONTRAST_HIGH_SPIN 1093
#define IDC_ADJUST_MONITOR 1094
#define IDC_IDENTIFY 1095

// Re-apply delay popup (IDD_REAPPLY_DELAY)
#define IDC_REAPPLY_DELAY_SLIDER 1029

// Language popup (IDD_LANGUAGE): the list has the id of the panel button that opens it.
#define IDC_LANGUAGE_LIST 1031

// Hotkey dialog (IDD_HOTKEYS); OK and Cancel are IDOK and IDCANCEL.
#define IDC_MONITOR_OFF_HOTKEY 1047
#define IDC_BRIGHTNESS_UP_HOTKEY 1048
#define IDC_BRIGHTNESS_DOWN_HOTKEY 1049
#define IDC_MONITOR_OFF_MARK 1054
#define IDC_BRIGHTNESS_UP_MARK 1055
#define IDC_BRIGHTNESS_DOWN_MARK 1056
#define IDC_CONTRAST_UP_HOTKEY 1058
#define IDC_CONTRAST_DOWN_HOTKEY 1059
#define IDC_CONTRAST_UP_MARK 1060
#define IDC_CONTRAST_DOWN_MARK 1061
#define IDC_INCREMENT 1062

// Texts of the message that a hotkey combination is taken: its caption, and the message
// for hotkey id i (2..6) at IDS_HOTKEY_TAKEN_BASE + i.
#define IDS_HOTKEY_TAKEN_CAPTION 1041
#define IDS_HOTKEY_TAKEN_BASE 1070

// Update dialog (IDD_UPDATE); the download progress window has only IDCANCEL.
#define IDC_UPDATE_PAGE 10201
#define IDC_INSTALL 10202

// Tray menu and its commands. Each command shows the icon with the same id.
#define IDR_TRAY_MENU 229
#define IDM_CHECK_FOR_UPDATES 138
#define IDM_ABOUT 210
#define IDM_EXIT 211
#define IDM_MONITOR_OFF 212
#define IDM_START_WITH_WINDOWS 1015
#define IDM_MONITORS 221

// Update page template: an HTML resource (type 23), UTF-16LE with a byte-order mark.
#define IDR_UPDATE_PAGE 10203

// Icons. The application icon is also the tray icon of the lowest brightness level;
// level i (1..8) is IDI_TRAY_LEVEL_BASE + i.
#define IDI_ORVALUX 100
#define IDI_TRAY_LEVEL_BASE 240
#define IDI_TRAY_LEVEL_1 241
#define IDI_TRAY_LEVEL_2 242
#define IDI_TRAY_LEVEL_3 243
#define IDI_TRAY_LEVEL_4 244
#define IDI_TRAY_LEVEL_5 245
#define IDI_TRAY_LEVEL_6 246
#define IDI_TRAY_LEVEL_7 247
#define IDI_TRAY_LEVEL_8 248
// Panel slider icons, in slider order.
#define IDI_BRIGHTNESS 203
#define IDI_CONTRAST 204
#define IDI_COLOR_TEMPERATURE 205
#define IDI_RED_GAIN 206
#define IDI_GREEN_GAIN 207
#define IDI_BLUE_GAIN 208
// Tray menu items (same ids as their commands).
#define IDI_CHECK_FOR_UPDATES 138
#define IDI_ABOUT 210
#define IDI_EXIT 211
#define IDI_MONITOR_OFF 212
#define IDI_START_WITH_WINDOWS 1015
#define IDI_MONITORS 221
// Panel buttons.
#define IDI_HOTKEYS 213
#define IDI_REAPPLY_DELAY 215
#define IDI_FACTORY_RESET 1018
#define IDI_EXPAND 1019
#define IDI_COLLAPSE 1020
// Hotkey dialog marks and buttons.
#define IDI_HOTKEY_MONITOR_OFF 214
#define IDI_HOTKEY_BRIGHTNESS_UP 216
#define IDI_HOTKEY_BRIGHTNESS_DOWN 217
#define IDI_HOTKEY_CONTRAST_UP 218
#define IDI_HOTKEY_CONTRAST_DOWN 219
#define IDI_INCREMENT 220
#define IDI_OK 129
#define IDI_CANCEL 135

// Bitmaps. The title is 75 x 15 pixels, 32 bits with straight (not premultiplied) alpha.
#define IDB_TITLE 230
// Language flags, 16 x 11 pixels, 24 bits: the flag of language table entry i is
// IDB_FLAG_BASE + i; entry 0 (the user's default language) shows a globe.
#define IDB_FLAG_BASE 500
#define IDB_FLAG_USER_DEFAULT 500
#define IDB_FLAG_ARABIC 501
#define IDB_FLAG_CHINESE_SIMPLIFIED 502
#define IDB_FLAG_CHINESE_TRADITIONAL 503
#define IDB_FLAG_DUTCH 504
#define IDB_FLAG_ENGLISH 505
#define IDB_FLAG_FRENCH 506
#define IDB_FLAG_GERMAN 507
#define IDB_FLAG_GREEK 508
#define IDB_FLAG_HEBREW 509
#define IDB_FLAG_ITALIAN 510
#define IDB_FLAG_JAPANESE 511
#define IDB_FLAG_KOREAN 512
#define IDB_FLAG_PORTUGUESE 513
#define IDB_FLAG_RUSSIAN 514
#define IDB_FLAG_SPANISH 515
#define IDB_FLAG_SWEDISH 516
#define IDB_FLAG_COUNT 17

// The title and the flags drawn again at 150 and 200 %, for monitors at those scales: the
// title at 113 x 23 and 150 x 30, flag i at IDB_FLAG_150_BASE + i (24 x 17) and
// IDB_FLAG_200_BASE + i (32 x 22).
#define IDB_TITLE_150 231
#define IDB_TITLE_200 232
#define IDB_FLAG_150_BASE 520
#define IDB_FLAG_200_BASE 540
