// The findings records: one autorun entry, one affected application, and the
// alert levels with their colours.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>


enum AutoRunType {
    AUTORUN_NONE = 0,
    AUTORUN_REGISTRY = 1,
    AUTORUN_SHORTCUT = 2,
    AUTORUN_WININI = 3,
};

// One autorun entry. Copied by value; the -reg_autorun request carries its
// kind, location, root key and value name. The texts are UTF-16
// as the system gave them. A location or value name that does not fit its
// field whole is not kept: the field stays empty and, for a registry entry,
// the root key is null, so that no action ever names some other key, value
// or file (see findings/bounded_copy.h).
struct CAutoRunInfo {
    int m_nType;
    wchar_t m_szLocation[260];
    wchar_t m_szProgram[260];
    HKEY m_hRootKey;
    wchar_t m_szValueName[128];
};


// The autorun inventory: entries in the order the sources were read.
typedef std::vector<CAutoRunInfo> CAutoRunArray;

// One affected application: a process that has the selected module loaded.
// The path is the executable's as the system gives it (UTF-16); an
// executable whose path does not fit the field whole is named by its short
// form, or not at all (an empty path, on which every file action is
// refused).
struct CListItemState {
    wchar_t m_szPath[260];
    BOOL m_bVisible;
    wchar_t m_szDescription[1024];
    DWORD m_dwProcessId;
    COLORREF m_crBack;
    COLORREF m_crText;
    CAutoRunInfo m_autoRun;
    BOOL m_bSameFolder;
    // When the process was created; zero when it could not be read. With
    // the image path it tells the process from a later one that got the
    // same id.
    FILETIME m_ftCreated;
};

// Alert levels, most suspicious first.
enum AlertLevel {
    ALERT_HIDDEN_AUTORUN_SAME_FOLDER = 1,
    ALERT_HIDDEN_SAME_FOLDER = 2,
    ALERT_HIDDEN_AUTORUN = 3,
    ALERT_HIDDEN = 4,
    ALERT_VISIBLE_AUTORUN = 5,
    ALERT_VISIBLE = 6,
};

struct AlertColors {
    COLORREF back;
    COLORREF text;
};

constexpr int kAlertLevelCount = 6;

// Colours of levels 1..6, index = level - 1.
extern const AlertColors kAlertColors[kAlertLevelCount];

// The level that the three facts make; for a visible process the folder
// plays no part.
AlertLevel DecideAlertLevel(bool visible, bool startsWithWindows, bool sameFolder);

// Sets m_crBack and m_crText from the record's facts; returns the level.
AlertLevel ApplyAlertLevel(CListItemState& record);
