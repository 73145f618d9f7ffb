#include "views/results_report.h"

#include <commdlg.h>
#include <shellapi.h>

#include "common/owners.h"
#include "framework/message_box.h"
#include "common/string_resource.h"
#include "resources/resource.h"

namespace {

SavePathChooser g_chooser;
ReportOpener g_opener;

// The system's Save As dialog: the newer style where the system has it,
// default extension htm, hide read-only, prompt before overwriting.
bool ChooseSavePath(HWND owner, std::wstring& path) {
    std::wstring filter = LoadResString(IDS_REPORT_FILTER);
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"htm";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&dialog)) return false;
    path = file;
    return true;
}

void OpenReport(const std::wstring& path) {
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

void ReportWriteError(const std::wstring& path) {
    fw::ShowMessage(FormatResText(IDS_REPORT_WRITE_ERROR, L"%s", path), MB_OK | MB_ICONSTOP);
}

}  // namespace

bool WriteReport(const std::wstring& path, const std::vector<ReportRow>& rows) {
    // One reading of the clock serves the title and the body.
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    std::string text = BuildReport(rows, now);
    CHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        fw::ShowMessage(IDS_REPORT_SAVE_ERROR, MB_OK | MB_ICONSTOP);
        return false;
    }
    DWORD written = 0;
    bool whole = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                 written == text.size();
    // The file is closed before the message box can show.
    file.Reset();
    if (!whole) ReportWriteError(path);
    return whole;
}

void SetReportSeams(SavePathChooser chooser, ReportOpener opener) {
    g_chooser = std::move(chooser);
    g_opener = std::move(opener);
}

void ExportResults(HWND owner, const std::vector<std::wstring>& modulePaths) {
    std::wstring path;
    bool chosen = g_chooser ? g_chooser(owner, path) : ChooseSavePath(owner, path);
    if (!chosen) return;
    if (!WriteReport(path, ReportRowsFor(modulePaths))) return;
    if (g_opener)
        g_opener(path);
    else
        OpenReport(path);
}
