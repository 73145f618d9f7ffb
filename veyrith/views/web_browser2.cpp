#include "views/web_browser2.h"

#include <string>

bool CWebBrowser2::Navigate(const wchar_t* url) {
    if (!url || !m_host.HasControl()) return false;
    return m_host.Navigate(url);
}

std::wstring CWebBrowser2::GetLocationURL() const {
    BSTR url = m_host.LocationUrl();
    if (!url) return std::wstring();
    std::wstring text(url);
    SysFreeString(url);
    return text;
}
