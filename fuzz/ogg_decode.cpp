// The Ogg Vorbis decoder on arbitrary images: it either fails with no
// output or hands back exactly the announced PCM, with a RIFF header of the
// same size when asked for one.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "CMemory.h"
#include "CVorbisDecoder.h"
#include "FuzzCheck.h"

namespace {

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t* raw = nullptr;
    uint32_t rawSize = 0;
    const bool rawOk = CVorbisDecoder::DecodeToPcm(data, static_cast<uint32_t>(size), &raw, &rawSize, true);
    Check(rawOk == (raw != nullptr) && (rawOk ? rawSize > 0 && rawSize % 2 == 0 : rawSize == 0));

    uint8_t* wav = nullptr;
    uint32_t wavSize = 0;
    const bool wavOk = CVorbisDecoder::DecodeToPcm(data, static_cast<uint32_t>(size), &wav, &wavSize, false);
    Check(wavOk == rawOk);
    if (wavOk) {
        Check(wavSize == rawSize + CVorbisDecoder::kWavHeaderSize);
        Check(std::memcmp(wav, "RIFF", 4) == 0);
        Check(std::memcmp(wav + CVorbisDecoder::kWavHeaderSize, raw, rawSize) == 0);
    }
    MemFreeArray(raw);
    MemFreeArray(wav);
    return 0;
}
