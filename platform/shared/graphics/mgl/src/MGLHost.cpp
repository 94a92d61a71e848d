#include "MGLHost.h"

#include "CGraphics.h"

CGraphics* MGLHost::s_installed = nullptr;

CGraphics* MGLHost::Graphics() { return s_installed != nullptr ? s_installed : CGraphics::GetInstance(); }

void MGLHost::InstallGraphics(CGraphics* device) { s_installed = device; }
