#include "uninstall/running_scanner.h"

#include "common/product.h"
#include "uninstall/paths.h"

#include <tlhelp32.h>

#include <vector>

namespace uninstall {
namespace {

// The scanner's main window caption: its application title.
constexpr wchar_t kMainWindowCaption[] = L"Veyrith";
constexpr DWORD kCloseWaitMs = 5000;
// Longer than the class name and the caption, so that a longer text never
// matches by its start.
constexpr int kTextChars = 64;

struct CScannerSearch {
    std::wstring strImage;
    std::vector<HWND> windows;
    std::vector<CHandle> processes;
};

bool HasText(HWND window, int (WINAPI* read)(HWND, LPWSTR, int), const wchar_t* expected) {
    wchar_t text[kTextChars] = {};
    read(window, text, kTextChars);
    return wcscmp(text, expected) == 0;
}

bool RunsImage(HANDLE process, const std::wstring& image) {
    return process && IsSamePath(ProcessImagePath(process), image);
}

BOOL CALLBACK CollectScannerWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<CScannerSearch*>(lParam);
    if (!HasText(window, GetClassNameW, kMainWindowClass) || !HasText(window, GetWindowTextW, kMainWindowCaption))
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    CHandle process = OpenForInspection(processId);
    if (!RunsImage(process.Get(), search->strImage)) return TRUE;
    search->windows.push_back(window);
    search->processes.push_back(std::move(process));
    return TRUE;
}

void WaitForEnd(const std::vector<CHandle>& processes, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (const CHandle& process : processes) {
        DWORD waited = GetTickCount() - start;
        WaitForSingleObject(process.Get(), waited < timeoutMs ? timeoutMs - waited : 0);
    }
}

// Every process, windowed or not, that runs the image.
bool AnyProcessRuns(const std::wstring& image) {
    CHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return true;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        CHandle process = OpenForInspection(entry.th32ProcessID);
        if (RunsImage(process.Get(), image) && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) return true;
    }
    return false;
}

}  // namespace

bool EndScanner(const std::wstring& programFolder) {
    CScannerSearch search;
    search.strImage = JoinPath(programFolder, kProgramFileNameW);
    EnumWindows(CollectScannerWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.windows) PostMessageW(window, kCloseRequestMessage, 0, 0);
    WaitForEnd(search.processes, kCloseWaitMs);
    return !AnyProcessRuns(search.strImage);
}

}  // namespace uninstall
