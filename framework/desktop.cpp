#include "framework/desktop.h"

#include "common/string_resource.h"

int CDesktop::ShowMessage(UINT stringId, UINT type) { return ShowMessage(LoadResString(stringId), type); }
