#include "frame_services.h"

namespace {
CFrameServices* g_frameServices = nullptr;
}

CFrameServices* GetFrameServices() { return g_frameServices; }

void SetFrameServices(CFrameServices* services) { g_frameServices = services; }
