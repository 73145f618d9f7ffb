// Resource numbers of veyrith. The numbers are fixed; each subsystem keeps
// its own section.
#pragma once

// ---- Application shell ----
#define IDR_MAINFRAME 128
#define AFX_IDS_APP_TITLE 57344
#define IDD_ABOUTBOX 100
#define IDB_SPLASH 104
#define IDC_ABOUT_PICTURE 1012
#define IDS_REQUIRES_WIN2000 57652
#define ID_APP_ABOUT 57664

// ---- Scanner ----

// ---- Autorun ----
#define IDS_AUTORUN_NONE 57347
#define IDS_AUTORUN_REGISTRY 57644
#define IDS_AUTORUN_SHORTCUT 57653
#define IDS_AUTORUN_WININI 57660
#define IDS_COLUMN_AUTORUN 57688

// ---- Views ----
#define IDD_INFO_VIEW 114
#define IDC_INFO_BROWSER 1017

// ---- Actions ----

// ---- Quarantine ----
