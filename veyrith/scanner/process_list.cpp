#include "scanner/process_list.h"

#include <psapi.h>

std::vector<DWORD> ListProcessIds(DWORD bufferBytes) {
    std::vector<DWORD> ids(bufferBytes / sizeof(DWORD));
    DWORD needed = 0;
    if (!EnumProcesses(ids.data(), bufferBytes, &needed)) needed = 0;
    ids.resize((needed < bufferBytes ? needed : bufferBytes) / sizeof(DWORD));
    return ids;
}
