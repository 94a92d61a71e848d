#include "VersionText.h"

#include "CApplet.h"
#include "CDeviceConfig.h"
#include "CGameApp.h"
#include "CStrWChar.h"
#include "StrFormat.h"
#include "WideStr.h"

namespace {

constexpr const char* kVersionParts[] = {"9", "1", "0"};
// Long enough for either text.
constexpr uint32_t kNarrowBytes = 64;

// Copies `source` into the buffer, each unit as it is, cut to capacity.
void CopyCut(WChar* buffer, uint32_t capacity, const WChar* source) {
    if (buffer == nullptr || capacity == 0) return;
    uint32_t length = 0;
    while (source[length] != 0 && length + 1 < capacity) {
        buffer[length] = source[length];
        ++length;
    }
    buffer[length] = 0;
}

void WidenCut(WChar* buffer, uint32_t capacity, const char* text) {
    WChar wide[kNarrowBytes];
    CopyCut(buffer, capacity, WideFromAscii(wide, text));
}

void NarrowVersion(char* out) { StrPrintf(out, "%s.%s.%s", kVersionParts[0], kVersionParts[1], kVersionParts[2]); }

// The program's name and its own version, then when it was built.
void NarrowBuildInfo(char* out) {
    char name[kNarrowBytes];
    NarrowFromWide(name, CApplet::kAppName, kNarrowBytes);
    char version[kNarrowBytes];
    NarrowVersion(version);
    StrPrintf(out, "\n%s %s\n%s %s", name, version, __DATE__, __TIME__);
}

const WChar* ConfiguredVersion() {
    const CGameApp* app = GetGameApp();
    return app != nullptr ? app->GetDeviceConfig().GetText(CDeviceConfig::kVersion) : nullptr;
}

}  // namespace

void GetVersionText(WChar* buffer, uint32_t capacity) {
    const WChar* configured = ConfiguredVersion();
    if (configured != nullptr) {
        CopyCut(buffer, capacity, configured);
        return;
    }
    char narrow[kNarrowBytes];
    NarrowVersion(narrow);
    WidenCut(buffer, capacity, narrow);
}

void GetBuildInfoText(WChar* buffer, uint32_t capacity) {
    char narrow[kNarrowBytes];
    NarrowBuildInfo(narrow);
    WidenCut(buffer, capacity, narrow);
}

void FormatVersionString(CStrWChar& out) {
    WChar wide[CDeviceConfig::kVersionUnits];
    GetVersionText(wide, CDeviceConfig::kVersionUnits);
    out = wide;
}

void FormatBuildInfo(CStrWChar& out) {
    WChar wide[kNarrowBytes];
    GetBuildInfoText(wide, kNarrowBytes);
    out = wide;
}
