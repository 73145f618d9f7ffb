#include "veyrith_scan/scan_options.h"

#include <cwchar>

namespace {

// Takes the value of the option at args[index] into target.
bool TakeValue(int count, const wchar_t* const* args, int& index, std::wstring& target) {
    if (index + 1 >= count || !target.empty() || args[index + 1][0] == L'\0') return false;
    target = args[++index];
    return true;
}

}  // namespace

bool ParseScanArguments(int count, const wchar_t* const* args, ScanOptions& options, std::wstring& wrong) {
    for (int i = 0; i < count; ++i) {
        const wchar_t* arg = args[i];
        bool ok = false;
        if (!wcscmp(arg, L"--json")) ok = TakeValue(count, args, i, options.jsonPath);
        else if (!wcscmp(arg, L"--html")) ok = TakeValue(count, args, i, options.htmlPath);
        else if (!wcscmp(arg, L"--help") || !wcscmp(arg, L"-h") || !wcscmp(arg, L"/?")) ok = options.help = true;
        if (ok) continue;
        wrong = arg;
        return false;
    }
    return true;
}
