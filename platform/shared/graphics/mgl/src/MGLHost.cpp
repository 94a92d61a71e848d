#include "MGLHost.h"

#include "CGraphics.h"

CGraphics* MGLHost::s_installed = nullptr;

// The host may delete the device it installed without taking it out: the
// renderer goes back to the registered one.
CGraphics* MGLHost::Graphics() {
    if (s_installed != nullptr && !CGraphics::IsLive(s_installed)) s_installed = nullptr;
    return s_installed != nullptr ? s_installed : CGraphics::GetInstance();
}

void MGLHost::InstallGraphics(CGraphics* device) { s_installed = device; }
