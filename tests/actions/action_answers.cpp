#include "action_answers.h"

#include "../scanner/hook_host.h"
#include "resources/resource.h"
#include "test_support.h"

using namespace testing_support;

namespace {

const char kPendingKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";

std::string ItemText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

std::wstring ItemTextW(HWND dialog, int id) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(dialog, id, text, 1024);
    return text;
}

// The strings of the pending list, read in UTF-16.
std::vector<std::wstring> PendingStrings() {
    std::vector<std::wstring> strings(1);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPendingKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    DWORD size = 0;
    std::wstring data;
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        data.assign(size / sizeof(wchar_t) + 1, L'\0');
        RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]),
                         &size);
        data.resize(size / sizeof(wchar_t));
    }
    RegCloseKey(key);
    for (wchar_t c : data) {
        if (c == 0) strings.emplace_back();
        else strings.back() += c;
    }
    strings.pop_back();
    return strings;
}

}  // namespace

DialogAnswers::DialogAnswers(FakeDesktop& desktop) : m_desktop(desktop) {
    m_desktop.answerDialog = [this](HWND dialog, UINT templateId) {
        seen.push_back(SeenDialog{templateId, ItemText(dialog, IDC_ACTION_HEADING), ItemText(dialog, IDC_AUTORUN_TYPE),
                                  ItemText(dialog, IDC_AUTORUN_PLACE),
                                  IsDlgButtonChecked(dialog, IDC_METHOD_END_PROCESS) == BST_CHECKED,
                                  IsDlgButtonChecked(dialog, IDC_REBOOT_NOW) == BST_CHECKED,
                                  ItemTextW(dialog, IDC_ACTION_HEADING), ItemTextW(dialog, IDC_AUTORUN_PLACE)});
        if (m_prepare) m_prepare(dialog);
        return m_button;
    };
}

DialogAnswers::~DialogAnswers() { m_desktop.answerDialog = nullptr; }

void DialogAnswers::Answer(UINT pressed, std::function<void(HWND)> before) {
    m_button = pressed;
    m_prepare = std::move(before);
    seen.clear();
}

PendingRenames::PendingRenames() : m_saved(ReadBinaryValue(HKEY_LOCAL_MACHINE, kPendingKey, kPendingValue)) {}

PendingRenames::~PendingRenames() {
    if (m_saved.empty()) {
        DeleteValue(HKEY_LOCAL_MACHINE, kPendingKey, kPendingValue);
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPendingKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, kPendingValue, 0, REG_MULTI_SZ, m_saved.data(), static_cast<DWORD>(m_saved.size()));
    RegCloseKey(key);
}

bool PendingRenames::Has(const std::string& fileName) {
    std::vector<unsigned char> bytes = ReadBinaryValue(HKEY_LOCAL_MACHINE, kPendingKey, kPendingValue);
    std::string text = Lower(std::string(bytes.begin(), bytes.end()));
    return text.find(Lower(fileName)) != std::string::npos;
}

// Sources and targets alternate; a deletion has an empty target. A source
// may carry the "\??\" prefix of the system's own names.
bool PendingRenames::HasDeletionOf(const std::wstring& path) {
    std::vector<std::wstring> strings = PendingStrings();
    for (size_t i = 0; i + 1 < strings.size(); i += 2) {
        std::wstring source = strings[i];
        if (source.compare(0, 4, L"\\??\\") == 0) source = source.substr(4);
        if (lstrcmpiW(source.c_str(), path.c_str()) == 0 && strings[i + 1].empty()) return true;
    }
    return false;
}
