// The inflating stream on arbitrary deflate data: the first four bytes give
// the unpacked size the stream is told, the rest is the packed data. Reads
// and skips of varied sizes must keep the byte counts consistent and end.

#include <cstdint>
#include <cstdlib>

#include "CArrayInputStream.h"
#include "CZipInputStream.h"
#include "FuzzCheck.h"

namespace {

constexpr uint32_t kMaxUnpacked = 1u << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const uint32_t unpacked = (data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24) %
                              kMaxUnpacked;
    CArrayInputStream source;
    Check(source.Open(data + 4, static_cast<uint32_t>(size - 4)));
    CZipInputStream zip;
    if (!zip.Open(&source, static_cast<uint32_t>(size - 4), unpacked)) return 0;
    static uint8_t buffer[9000];
    const uint32_t steps[] = {3, 256, 1, 9000, 4097, 17};
    for (uint32_t i = 0; !zip.HasError() && zip.Available() > 0; ++i) {
        const uint32_t before = zip.Available();
        uint32_t step = steps[i % 6];
        if (step > before) step = before;
        if (i % 3 == 1) {
            zip.Skip(step);
        } else {
            zip.Read(buffer, step);
        }
        Check(zip.HasError() ? zip.Available() == 0 : zip.Available() == before - step);
    }
    // Past the end: always an error, never a hang.
    zip.Read(buffer, 1);
    Check(zip.HasError());
    return 0;
}
