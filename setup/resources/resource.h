// Resource ids of the setup program.
#pragma once

#define IDI_SETUP                 40
#define IDB_WELCOME               1
#define IDB_WATERMARK             103
#define IDR_LINK_CURSOR           104
#define IDR_LICENSE               107
#define RT_LICENSE_TEXT           L"TXT"

#define IDD_WELCOME               1
#define IDD_FOLDER                2
#define IDD_GROUP                 3
#define IDD_FINISH                4
#define IDD_ABOUT                 5
#define IDD_INSTALLING            101
#define IDD_LICENSE               107

#define IDC_INSTALL_STATUS        1000
#define IDC_LICENSE_TEXT          1002
#define IDC_LICENSE_YES           1003
#define IDC_LICENSE_NO            1004
#define IDC_FOLDER_EDIT           101
#define IDC_FOLDER_BROWSE         102
#define IDC_GROUP_EDIT            104
#define IDC_GROUP_ALL_USERS       1012
#define IDC_VIEW_HELP             105
#define IDC_LAUNCH                106
#define IDC_SUPPORT_LINK          1020
#define IDC_SITE_LINK             1021

#define IDM_ABOUT                 100

#define IDS_APP_TITLE             200
#define IDS_UNSUPPORTED_SYSTEM    201
#define IDS_OBSOLETE_COMCTL       202
#define IDS_COMCTL_ADDRESS        203
#define IDS_ABOUT_MENU            204
#define IDS_QUIT_QUESTION         205
#define IDS_BANNER                206
#define IDS_SLOGAN                207
#define IDS_SELECT_FOLDER         208
#define IDS_DEFAULT_FOLDER_TAIL   209
#define IDS_DEFAULT_GROUP         210
#define IDS_COPYING               211
#define IDS_CREATING_SHORTCUTS    212
#define IDS_COPY_ERROR            213
#define IDS_SHORTCUT_PROGRAM      2014
#define IDS_SHORTCUT_HELP         2015
#define IDS_SHORTCUT_UNINSTALL    2016
#define IDS_DISPLAY_NAME          217
#define IDS_WELCOME_TITLE         220
#define IDS_WELCOME_SUBTITLE      221
#define IDS_LICENSE_TITLE         222
#define IDS_LICENSE_SUBTITLE      223
#define IDS_FOLDER_TITLE          224
#define IDS_FOLDER_SUBTITLE       225
#define IDS_GROUP_TITLE           226
#define IDS_GROUP_SUBTITLE        227
#define IDS_FINISH_TITLE          228
#define IDS_FINISH_SUBTITLE       229
#define IDS_BANNER_FONT           230
#define IDS_SLOGAN_FONT           231
