#include "actions/shell_open.h"

#include <shellapi.h>

void ShellOpen(HWND owner, const std::wstring& verb, const std::wstring& file, const std::wstring& parameters,
               int show) {
    ShellExecuteW(owner, verb.c_str(), file.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                  show);
}
