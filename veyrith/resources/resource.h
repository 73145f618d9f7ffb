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
// Commands of the panes' context menu (also in the main menu and toolbar).
#define ID_PROPERTIES 32774
#define ID_VIEW_THE_FILE 32776
#define ID_END_PROCESS 32777
#define ID_QUARANTINE_FILE 32778
#define ID_REMOVE_FROM_AUTORUN 32792
#define ID_EDIT_COPY 57634
// The main window: menu, accelerators and toolbar share IDR_MAINFRAME; the
// command bar is a child dialog; the bars and panes have fixed child ids.
#define IDD_COMMAND_BAR 128
#define IDB_TOOLBAR 128
#define RT_TOOLBAR_DATA 241
#define IDC_HIDDEN_ONLY 1000
#define ID_EXPORT_RESULTS 140
#define ID_SCAN 32771
#define ID_VIEW_COMMAND_BAR 32779
#define ID_VIEW_INFO_BAR 32784
#define ID_HELP_HOME_PAGE 32786
#define ID_HELP_SUPPORT 32787
#define ID_APP_EXIT 57665
#define ID_HELP_CONTENTS 57670
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_QUARANTINED_FILES 57689
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393
#define IDW_REBAR 59396
#define IDW_COMMAND_BAR 59397
#define IDW_PANE_FIRST 59648
#define IDS_IDLE_MESSAGE 57345
#define IDS_SCAN_NOT_COMPLETE 57346
#define ID_INDICATOR_CAPS 59137
#define ID_INDICATOR_NUM 59138
#define ID_INDICATOR_SCRL 59139

// ---- Scanner ----
#define IDS_MONITORING_FILES 57645
#define IDS_DESCRIPTION_ABSENT 57647
#define IDS_NO_MONITORING_MODULES 57654
// The scan's progress dialog and its texts.
#define IDD_SCAN_INDICATOR 102
#define IDC_SCAN_PATH 1001
#define IDC_SCAN_HEADING 1006
#define IDC_SCAN_ICON 1011
#define IDS_SCANNING_COMPLETE 57606
#define IDS_SCANNING_IN_PROGRESS 57656
#define IDS_SCAN_NOT_STARTED 57700
// A scan that could not confirm that it sees system-wide hooks, and the
// ways the 64-bit check can fail.
#define IDS_SCAN_UNCONFIRMED 57703
#define IDS_PROBE64_NOT_STARTED 57704
#define IDS_PROBE64_UNREADABLE 57705
#define IDS_PROBE64_ENDED_EARLY 57706
// Precedes the path of a module found in 64-bit processes in the tree (in
// front, so that a long path never hides it).
#define IDS_MODULE_64BIT_MARK 57707
// What a module watches, as the tree, the info page and the report say it.
#define IDS_WATCH_KEYSTROKES 57720
#define IDS_WATCH_MOUSE 57721
#define IDS_WATCH_WINDOWS 57722
#define IDS_WATCH_OTHER 57723
// A module that reads keystrokes in a hidden host that starts with Windows.
#define IDS_CLASSIC_KEYLOGGER 57724
// Between the facts of a list ("reads keystrokes, watches windows"), and
// between a module's path and its facts.
#define IDS_WATCH_LIST_SEPARATOR 57725
#define IDS_WATCH_FACTS_LEAD 57726
// A module whose stages the scan did not record.
#define IDS_WATCH_UNKNOWN 57727
// The info page's line of what a module watches; %s is the list of facts.
#define IDS_MODULE_PAGE_WATCHES 57728
// The stages of the provocation, by name: IDS_STAGE_FIRST + stage.
#define IDS_STAGE_FIRST 57730
// A scan in which some stages could not run; %s is the list of their names.
#define IDS_STAGES_NOT_RUN 57740
// Why a scan did not see its self-test: the module missing beside the
// program, its host could not start, the host never set its hooks, the
// module was never asked for, the companion did not see its own.
#define IDS_SELFTEST_MODULE_MISSING 57760
#define IDS_SELFTEST_HOST_NOT_STARTED 57761
#define IDS_SELFTEST_NOT_READY 57762
#define IDS_SELFTEST_NOT_REQUESTED 57763
#define IDS_SELFTEST64_NOT_SEEN 57764

// ---- Facts of a file ----
// Who signed a file: %s is the signer's name, or the code (0x...) of the
// check's answer.
#define IDS_SIGNED_BY 57800
#define IDS_SIGNED_IN_CATALOG 57801
#define IDS_NOT_SIGNED 57802
#define IDS_SIGNATURE_MISMATCH 57803
#define IDS_SIGNATURE_NOT_TRUSTED 57804
#define IDS_SIGNATURE_NOT_CHECKED 57805
// A signer whose certificate names nobody.
#define IDS_SIGNER_UNNAMED 57806
// Shown until the facts of a file land.
#define IDS_FILE_FACTS_CHECKING 57807

// ---- Autorun ----
#define IDS_AUTORUN_NONE 57347
#define IDS_AUTORUN_REGISTRY 57644
#define IDS_AUTORUN_SHORTCUT 57653
#define IDS_AUTORUN_WININI 57660
#define IDS_COLUMN_AUTORUN 57688

// ---- Views ----
#define IDD_INFO_VIEW 114
#define IDC_INFO_BROWSER 1017
// Icons of the tree and the list, the panes' context menu, their texts.
#define IDI_VISIBLE_MARK 130
#define IDI_HIDDEN_MARK 131
#define IDI_START_SCAN 132
#define IDI_MODULE 133
#define IDR_CONTEXT_MENU 134
#define IDI_MONITORING_ROOT 136
#define IDS_COLUMN_APPLICATIONS 57638
#define IDS_COLUMN_DESCRIPTION 57639
#define IDS_COLUMN_VISIBILITY 57646
#define IDS_VISIBLE 57648
#define IDS_HIDDEN 57649
#define IDS_START_SCAN 57650

// ---- Tool client ----
#define IDS_TOOL_PATH_TOO_LONG 32800
// A change asked for while another one is still being made.
#define IDS_TOOL_BUSY 32801
// The status bar while the tool makes a change.
#define IDS_TOOL_RUNNING 32802
// Closing the window while the tool makes a change.
#define IDS_CLOSE_AFTER_CHANGE 32803

// ---- Actions ----
// The confirmation dialogs of the actions on a finding and their controls.
#define IDD_CHOOSE_DELETE_METHOD 103
#define IDD_CONFIRM_REMOVE_AUTORUN 117
#define IDD_DELETE_DLL 138
#define IDD_CONFIRM_KILL 142
#define IDC_METHOD_END_PROCESS 1002
#define IDC_METHOD_AT_REBOOT 1003
#define IDC_ACTION_ICON 1004
#define IDC_ACTION_HEADING 1006
#define IDC_REBOOT_NOW 1007
#define IDC_AUTORUN_TYPE 1015
#define IDC_AUTORUN_PLACE 1016
// Messages of the actions.
#define IDS_WININI_NOT_SUPPORTED 32785
#define IDS_AUTORUN_REMOVED 32789
#define IDS_BACKUP_FAILED 32810
#define IDS_AUTORUN_REMOVAL_FAILED 57348
#define IDS_AUTORUN_PATH 57349
#define IDS_AUTORUN_WININI_PLACE 57350
#define IDS_OPERATION_FAILED 57605
#define IDS_UNABLE_TO_TERMINATE 57651
#define IDS_OPERATION_COMPLETED 57655
#define IDS_PROCESS_ENDED 57708
#define IDS_AUTORUN_ENTRY_GONE 57709

// ---- Quarantine ----

// The exported report.
#define IDS_REPORT_SYSTEM_CHECKED 57640
#define IDS_REPORT_PATH 57641
#define IDS_REPORT_DESCRIPTION 57642
#define IDS_REPORT_SUPPORT_LINK 57643
#define IDS_REPORT_SAVE_ERROR 57657
#define IDS_REPORT_HEADING 57658
#define IDS_REPORT_TITLE 57659
#define IDS_REPORT_WRITE_ERROR 57701
#define IDS_REPORT_FILTER 57702
#define IDS_REPORT_WATCHES 57741
// The quarantine manager: its dialog, banner and list; Delete shares its
// number with the Quarantine file command of the main window.
#define IDD_QUARANTINE 118
#define IDB_QUARANTINE_BANNER 149
#define IDC_QUARANTINE_LIST 1018
#define ID_QUARANTINE_DELETE 32778
#define IDS_COLUMN_ITEM 57352
#define IDS_COLUMN_PATH 32790
#define IDS_DELETE_FAILED 32791
#define IDS_RESTORE_FAILED 32794
#define IDS_CONFIRM_RESTORE 32795
#define IDS_DELETE_DONE 32796
#define IDS_RECORD_NOT_REMOVED 57353
#define IDS_RESTORE_DONE 57354
#define IDS_CONFIRM_DELETE 57355
