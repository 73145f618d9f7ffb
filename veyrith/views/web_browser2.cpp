#include "views/web_browser2.h"

#include <string>
#include <vector>

namespace {

std::wstring Widen(const char* text) {
    int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (count <= 0) return std::wstring();
    std::vector<wchar_t> buffer(count);
    MultiByteToWideChar(CP_ACP, 0, text, -1, buffer.data(), count);
    return std::wstring(buffer.data());
}

std::string Narrow(const wchar_t* text) {
    int count = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return std::string();
    std::vector<char> buffer(count);
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer.data(), count, nullptr, nullptr);
    return std::string(buffer.data());
}

}  // namespace

bool CWebBrowser2::Navigate(const char* url) {
    if (!url || !m_host.HasControl()) return false;
    return m_host.Navigate(Widen(url).c_str());
}

std::string CWebBrowser2::GetLocationURL() const {
    BSTR url = m_host.LocationUrl();
    if (!url) return std::string();
    std::string text = Narrow(url);
    SysFreeString(url);
    return text;
}
