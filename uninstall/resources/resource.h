// Resource ids of uninstall. The numbers are fixed: setup's shortcuts and
// the shipped pictures refer to the same program.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

// Pictures.
#define IDI_UNINSTALL_SMALL 102
#define IDB_UNINSTALL_SIDE 103
#define IDI_STAGE_DONE 107
#define IDCUR_LINK 110

// The progress and report window and its controls.
#define IDD_UNINSTALL 104
#define IDC_FILES_DONE 100
#define IDC_SHORTCUTS_DONE 101
#define IDC_REGISTRY_DONE 102
#define IDC_STATUS 104
#define IDC_SHORTCUTS_LINE 1000
#define IDC_REGISTRY_LINE 1001
#define IDC_SITE_LINK 1003
#define IDC_DETAILS 1004

// Texts.
#define IDS_CONFIRM_REMOVAL 2001
#define IDS_CONFIRM_CAPTION 2002
#define IDS_STATUS_STARTING 2003
#define IDS_STATUS_FILES_DELETED 2004
#define IDS_STATUS_SHORTCUTS_DELETED 2005
#define IDS_STATUS_SEE_DETAILS 2006
#define IDS_STATUS_COMPLETE 2007
#define IDS_REPORT_CAPTION 2008
#define IDS_REPORT_NO_FOLDER 2009
#define IDS_REPORT_FILE_NOT_DELETED 2010
#define IDS_REPORT_FOLDER_NOT_EMPTY 2011
#define IDS_REPORT_NO_GROUP 2012
#define IDS_REPORT_GROUP_REFUSED 2013
