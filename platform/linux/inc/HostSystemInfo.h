#ifndef HOSTSYSTEMINFO_H
#define HOSTSYSTEMINFO_H

#include <cstdint>

// The handset the stand-in pretends to be: its screen size, which turns
// with the device, and its system version.
class HostSystemInfo {
public:
    static constexpr int32_t kDefaultWidth = 480;
    static constexpr int32_t kDefaultHeight = 640;
    static constexpr uint32_t kDefaultMajor = 5;
    static constexpr uint32_t kDefaultMinor = 2;

    // Portrait 480 x 640, system version 5.2.
    static void Reset();

    static void SetScreenSize(int32_t width, int32_t height);
    static int32_t ScreenWidth();
    static int32_t ScreenHeight();
    // Portrait becomes landscape and back.
    static void SwapScreenAxes();

    static void SetOsVersion(uint32_t major, uint32_t minor);
    static uint32_t OsMajor();
    static uint32_t OsMinor();
};

#endif
