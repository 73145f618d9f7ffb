// Resource numbers of veyrith_scan: its own texts. It also carries the
// scanner's, the scan's and the report's string tables under their numbers
// (veyrith/resources/resource.h).
#pragma once

// The usage, printed for --help and after a wrong argument.
#define IDS_CLI_USAGE 33000
// An output file that could not be written whole (%s: its path).
#define IDS_CLI_OUTPUT_ERROR 33001
// An argument it does not know, or an option without its file name (%s:
// the argument).
#define IDS_CLI_WRONG_ARGUMENT 33004
// The provoking window could not take the foreground.
#define IDS_CLI_NO_FOREGROUND 33002
// The summary's lines: modules found (%d), the mark of a hidden or visible host.
#define IDS_CLI_MODULES_FOUND 33003
// The alert levels 1 to 6, most suspicious first: IDS_CLI_ALERT_1 + level - 1.
#define IDS_CLI_ALERT_1 33011
#define IDS_CLI_ALERT_2 33012
#define IDS_CLI_ALERT_3 33013
#define IDS_CLI_ALERT_4 33014
#define IDS_CLI_ALERT_5 33015
#define IDS_CLI_ALERT_6 33016
