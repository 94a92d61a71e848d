#include "HostSystemInfo.h"

namespace {

int32_t g_width = HostSystemInfo::kDefaultWidth;
int32_t g_height = HostSystemInfo::kDefaultHeight;
uint32_t g_major = HostSystemInfo::kDefaultMajor;
uint32_t g_minor = HostSystemInfo::kDefaultMinor;

}  // namespace

void HostSystemInfo::Reset() {
    SetScreenSize(kDefaultWidth, kDefaultHeight);
    SetOsVersion(kDefaultMajor, kDefaultMinor);
}

void HostSystemInfo::SetScreenSize(int32_t width, int32_t height) {
    g_width = width;
    g_height = height;
}

int32_t HostSystemInfo::ScreenWidth() { return g_width; }

int32_t HostSystemInfo::ScreenHeight() { return g_height; }

void HostSystemInfo::SwapScreenAxes() { SetScreenSize(g_height, g_width); }

void HostSystemInfo::SetOsVersion(uint32_t major, uint32_t minor) {
    g_major = major;
    g_minor = minor;
}

uint32_t HostSystemInfo::OsMajor() { return g_major; }

uint32_t HostSystemInfo::OsMinor() { return g_minor; }
