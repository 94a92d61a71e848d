// UTF-8 decoding and re-encoding. The first input byte chooses the room of
// the wide buffer (0 to 255 units); the rest is the text. Both buffers are
// heap blocks of exactly their stated size, so that the sanitizer catches any
// access beyond them, and the results are checked against each other.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzCheck.h"
#include "Utf8.h"

namespace {

void CheckRoundTrip(const WChar* units, uint32_t count) {
    const int32_t needed = Utf8LengthOfWide(units, count);
    std::vector<uint8_t> bytes(static_cast<size_t>(needed) + 1);
    const int32_t written = WideToUtf8(units, count, bytes.data(), static_cast<uint32_t>(bytes.size()));
    Check(written == needed && bytes[static_cast<size_t>(written)] == 0);

    // The re-encoded text is canonical: it decodes to the units before the
    // first 0 unit.
    std::vector<WChar> again(count + 1);
    const int32_t decoded = Utf8ToWide(bytes.data(), static_cast<uint32_t>(written), again.data(),
                                       static_cast<uint32_t>(again.size()));
    Check(decoded == Utf8CharCount(bytes.data(), static_cast<uint32_t>(written)));
    for (int32_t i = 0; i < decoded; ++i) Check(again[static_cast<size_t>(i)] == units[i]);
    Check(decoded == static_cast<int32_t>(count) || units[decoded] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint32_t cap = data[0];
    const std::vector<uint8_t> text(data + 1, data + size);
    const uint32_t n = static_cast<uint32_t>(text.size());

    std::vector<WChar> units(cap);
    const int32_t decoded = Utf8ToWide(text.data(), n, units.data(), cap);
    if (cap == 0) {
        Check(decoded == 0);
        return 0;
    }
    Check(decoded >= 0 && static_cast<uint32_t>(decoded) < cap && units[static_cast<size_t>(decoded)] == 0);

    // The decoder agrees with the counter whenever the room did not end the
    // text early: malformed input is empty for both.
    const int32_t characters = Utf8CharCount(text.data(), n);
    if (static_cast<uint32_t>(decoded) < cap - 1) Check(decoded == characters);
    if (characters > 0 && static_cast<uint32_t>(characters) < cap) Check(decoded == characters);

    CheckRoundTrip(units.data(), static_cast<uint32_t>(decoded));
    return 0;
}
