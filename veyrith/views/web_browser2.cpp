#include "views/web_browser2.h"

#include <string>

#include "common/owners.h"

bool CWebBrowser2::Navigate(const wchar_t* url) {
    if (!url || !m_host.HasControl()) return false;
    return m_host.Navigate(url);
}

std::wstring CWebBrowser2::GetLocationURL() const {
    CBstr url(m_host.LocationUrl());
    if (!url) return std::wstring();
    return std::wstring(url.Get());
}
