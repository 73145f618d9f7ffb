#include "views/results_report.h"

#include <commdlg.h>

#include "common/owners.h"
#include "common/string_resource.h"
#include "resources/resource.h"

namespace {

void ReportWriteError(CDesktop& desktop, const std::wstring& path) {
    desktop.ShowMessage(FormatResText(IDS_REPORT_WRITE_ERROR, L"%s", path), MB_OK | MB_ICONSTOP);
}

}  // namespace

bool ChooseReportSavePath(HWND owner, std::wstring& path) {
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

bool WriteReport(CDesktop& desktop, const std::wstring& path, const std::vector<ReportRow>& rows,
                 StageSet stagesNotRun) {
    // One reading of the clock serves the title and the body.
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    std::string text = BuildReport(rows, now, stagesNotRun);
    CHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        desktop.ShowMessage(IDS_REPORT_SAVE_ERROR, MB_OK | MB_ICONSTOP);
        return false;
    }
    DWORD written = 0;
    bool whole = WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                 written == text.size();
    // The file is closed before the message box can show.
    file.Reset();
    if (!whole) ReportWriteError(desktop, path);
    return whole;
}

void ExportResults(CDesktop& desktop, HWND owner, const CScanResult& result) {
    std::wstring path;
    if (!desktop.ChooseSavePath(owner, path)) return;
    if (!WriteReport(desktop, path, ReportRowsFor(result), result.StagesNotRun())) return;
    desktop.OpenSavedReport(path);
}
