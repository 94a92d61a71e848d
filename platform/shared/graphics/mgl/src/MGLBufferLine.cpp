#include <algorithm>
#include <cstring>

#include "MGLBufferOps.h"
#include "MGLBufferSlots.h"

namespace {

// One axis of the walk: start, signed step per move and distance.
struct LineAxis {
    int64_t start;
    int64_t step;
    int64_t distance;
};

LineAxis MakeAxis(int32_t from, int32_t to) {
    const int64_t delta = int64_t{to} - from;
    return {from, delta > 0 ? 1 : (delta < 0 ? -1 : 0), delta < 0 ? -delta : delta};
}

// The steps i of the major axis (0 .. distance) whose coordinate lies in
// 0 .. size - 1; false when there is none.
bool StepsInside(const LineAxis& major, int64_t size, int64_t& first, int64_t& last) {
    if (major.step == 0) {
        first = last = 0;
        return major.start >= 0 && major.start < size;
    }
    // Coordinate at step i is start + step * i.
    const int64_t toLow = major.step > 0 ? -major.start : major.start;                        // reaches 0
    const int64_t toHigh = major.step > 0 ? size - 1 - major.start : major.start - size + 1;  // reaches size - 1
    first = std::max<int64_t>(0, major.step > 0 ? toLow : toHigh);
    last = std::min<int64_t>(major.distance, major.step > 0 ? toHigh : toLow);
    return first <= last;
}

}  // namespace

void DrawBufferLine(BufferTable& table, int32_t slot, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t a,
                    int32_t r, int32_t g, int32_t b) {
    const BufferRecord* record = BufferSlots::Of(table).UsedSlot(slot);
    uint8_t value[kMaxPixelBytes];
    if (record == nullptr || !PackSolidPixel(value, record->format, a, r, g, b)) return;
    const LineAxis xAxis = MakeAxis(x0, x1);
    const LineAxis yAxis = MakeAxis(y0, y1);
    const bool steep = yAxis.distance > xAxis.distance;
    const LineAxis& major = steep ? yAxis : xAxis;
    const LineAxis& minor = steep ? xAxis : yAxis;
    int64_t first = 0;
    int64_t last = 0;
    if (!StepsInside(major, steep ? record->height : record->width, first, last)) return;
    // The error term starts at 2 dminor - dmajor and gains 2 dminor a step;
    // each time it is not negative the minor axis moves and it loses
    // 2 dmajor. Entered at step `first` in closed form.
    const int64_t twoMajor = 2 * major.distance;
    const int64_t twoMinor = 2 * minor.distance;
    // Products of a step count and a doubled distance need up to 66 bits.
    const __int128 walked = static_cast<__int128>(first) * twoMinor;
    int64_t minorSteps = twoMajor != 0 ? static_cast<int64_t>((walked + major.distance) / twoMajor) : 0;
    int64_t error =
        static_cast<int64_t>(twoMinor - major.distance + walked - static_cast<__int128>(minorSteps) * twoMajor);
    const size_t bpp = static_cast<size_t>(record->BytesPerPixel());
    for (int64_t i = first; i <= last; ++i) {
        const int64_t majorAt = major.start + major.step * i;
        const int64_t minorAt = minor.start + minor.step * minorSteps;
        const int64_t x = steep ? minorAt : majorAt;
        const int64_t y = steep ? majorAt : minorAt;
        if (x >= 0 && y >= 0 && x < record->width && y < record->height) {
            if (uint8_t* pixel = record->PixelAt(static_cast<int32_t>(x), static_cast<int32_t>(y))) {
                std::memcpy(pixel, value, bpp);
            }
        }
        if (error >= 0) {
            error -= twoMajor;
            ++minorSteps;
        }
        error += twoMinor;
    }
}
