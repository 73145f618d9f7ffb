// What an action on a finding acts on: a row of the affected-applications
// list, a module item of the tree, or nothing. The frame makes one from its
// focus and selection (the list's selected row while the list has the
// focus, the tree's selected module item while the tree has it) and hands
// it to the action; the command table's enable rules read the same one.
#pragma once

#include <windows.h>

#include <string>

#include "census/scan_result.h"
#include "findings/findings.h"

struct CActionTarget {
    enum Kind { kNone, kModule, kRow };

    Kind kind = kNone;
    // The module's path, or the row's executable (empty when its path did
    // not fit the record whole).
    std::wstring path;
    // The row's process; 0 for a module item.
    DWORD processId = 0;
    // The row's record; all zero for a module item.
    CListItemState record = {};
    // The 64-bit companion found the module (for a row: the module the
    // list shows) in 64-bit processes: the paths are those of 64-bit
    // programs.
    bool is64Bit = false;

    bool IsModule() const { return kind == kModule; }
    bool IsRow() const { return kind == kRow; }
    bool IsSomething() const { return kind != kNone; }
    // A row whose program starts with Windows.
    bool IsAutoRunRow() const { return IsRow() && record.m_autoRun.m_nType != 0; }

    static CActionTarget Module(const CModuleFinding& module) {
        CActionTarget target;
        target.kind = kModule;
        target.path = module.path;
        target.is64Bit = module.Is64Bit();
        return target;
    }
    static CActionTarget Row(const CListItemState& row, bool list64Bit) {
        CActionTarget target;
        target.kind = kRow;
        target.path = row.m_szPath;
        target.processId = row.m_dwProcessId;
        target.record = row;
        target.is64Bit = list64Bit;
        return target;
    }
};
