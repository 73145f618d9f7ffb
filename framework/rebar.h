// A rebar control at the top of a frame; every band holds one child window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>

#include "framework/wnd.h"

namespace fw {

class ReBar : public Wnd {
public:
    bool Create(HWND parent, UINT id, DWORD style);
    // Adds a band for child (id = the child's control id) with the band
    // styles (RBBS_*); its minimum size is the child's ideal size.
    bool AddBand(HWND child, UINT bandStyle, SIZE childSize);

    int BandCount() const { assert(::IsWindow(Handle())); return static_cast<int>(SendMessageW(Handle(), RB_GETBANDCOUNT, 0, 0)); }
    // The band that holds the child with that id, -1 when none.
    int BandIndex(UINT childId) const { assert(::IsWindow(Handle())); return static_cast<int>(SendMessageW(Handle(), RB_IDTOINDEX, childId, 0)); }
    bool ShowBand(int index, bool show) const { assert(::IsWindow(Handle())); return SendMessageW(Handle(), RB_SHOWBAND, index, show) != 0; }
    bool GetBandInfo(int index, REBARBANDINFOW& info) const { assert(::IsWindow(Handle())); return SendMessageW(Handle(), RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&info)) != 0; }
    int RowCount() const { assert(::IsWindow(Handle())); return static_cast<int>(SendMessageW(Handle(), RB_GETROWCOUNT, 0, 0)); }
};

}  // namespace fw
