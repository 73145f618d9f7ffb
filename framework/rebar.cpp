#include "framework/rebar.h"

namespace fw {

bool ReBar::Create(HWND parent, UINT id, DWORD style) {
    Attach(CreateWindowExW(WS_EX_TOOLWINDOW, REBARCLASSNAMEW, L"", style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr),
                             nullptr));
    if (!Handle()) return false;
    REBARINFO info = {};
    info.cbSize = sizeof(info);
    return SendMessageW(Handle(), RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

bool ReBar::AddBand(HWND child, UINT bandStyle, SIZE childSize) {
    assert(::IsWindow(Handle()));
    REBARBANDINFOW band = {};
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID;
    band.fStyle = bandStyle;
    band.hwndChild = child;
    band.wID = static_cast<UINT>(GetDlgCtrlID(child));
    band.cxMinChild = static_cast<UINT>(childSize.cx);
    band.cyMinChild = static_cast<UINT>(childSize.cy);
    band.cx = static_cast<UINT>(childSize.cx);
    return SendMessageW(Handle(), RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
}

}  // namespace fw
