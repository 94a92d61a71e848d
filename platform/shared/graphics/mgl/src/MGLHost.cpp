#include "MGLHost.h"

#include "CGraphics.h"

CGraphics* MGLHost::s_installed = nullptr;
uint64_t MGLHost::s_installedSerial = 0;

// The host may delete the device it installed without taking it out: the
// renderer goes back to the registered one, even where a new device has
// since been made at the ended one's address.
CGraphics* MGLHost::Graphics() {
    const bool ended = s_installed != nullptr &&
                       (!CGraphics::IsLive(s_installed) || s_installed->Serial() != s_installedSerial);
    if (ended) s_installed = nullptr;
    return s_installed != nullptr ? s_installed : CGraphics::GetInstance();
}

void MGLHost::InstallGraphics(CGraphics* device) {
    s_installed = device;
    s_installedSerial = device != nullptr ? device->Serial() : 0;
}
