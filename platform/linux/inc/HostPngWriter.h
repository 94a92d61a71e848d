#ifndef HOSTPNGWRITER_H
#define HOSTPNGWRITER_H

#include "HostFrame.h"

#include <string>

// Writes a presented frame of the handset's screen as an 8-bit RGB PNG
// file: the screenshots of the stand-in.
class HostPngWriter {
public:
    HostPngWriter() = delete;

    // False, with the reason in `error`, for an empty frame or a file that
    // cannot be written, which is then not left behind.
    static bool Write(const HostFrame& frame, const std::string& path, std::string* error);
    // The frame's pixel (x, y) as 0xRRGGBB.
    static uint32_t RgbAt(const HostFrame& frame, int32_t x, int32_t y);
};

#endif
