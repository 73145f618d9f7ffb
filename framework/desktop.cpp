#include "framework/desktop.h"

#include "framework/string_resource.h"

int CDesktop::ShowMessage(UINT stringId, UINT type) { return ShowMessage(fw::LoadResStringW(stringId), type); }
