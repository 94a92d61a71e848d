#include "CVorbisDecoder.h"

#include "CArrayOutputStream.h"
#include "CAssert.h"
#include "CMemory.h"

#include <tremor/ivorbisfile.h>

#include <climits>

namespace {

constexpr uint8_t kTagRiff[4] = {'R', 'I', 'F', 'F'};
constexpr uint8_t kTagWave[4] = {'W', 'A', 'V', 'E'};
constexpr uint8_t kTagFormat[4] = {'f', 'm', 't', ' '};
constexpr uint8_t kTagData[4] = {'d', 'a', 't', 'a'};
constexpr uint32_t kFormatChunkSize = 16;
constexpr uint16_t kPcmFormat = 1;
// The decoder's seek origins, as the C library numbers them.
constexpr int kSeekSet = 0;
constexpr int kSeekCurrent = 1;
constexpr int kSeekEnd = 2;

OggVorbis_File* AsFile(void* file) { return static_cast<OggVorbis_File*>(file); }

// The decoded sound plus its optional header must fit a 32-bit size.
constexpr uint64_t kMaxPcmBytes = (UINT32_MAX - CVorbisDecoder::kWavHeaderSize) & ~1ull;
// An audio packet takes at least one byte plus its lacing value and decodes
// to at most 4096 samples (half of each of two longest blocks), so a mono
// image cannot hold more PCM bytes than this per byte of it. A stream that
// announces more has a corrupt last granule position, and trusting it would
// let a small file claim gigabytes before a single sample is decoded.
constexpr uint64_t kMostPcmBytesPerImageByte = 4096;

}  // namespace

size_t CVorbisDecoder::MemRead(void* destination, size_t elementSize, size_t count, void* source) {
    VorbisMemorySource* memory = static_cast<VorbisMemorySource*>(source);
    const uint64_t left = memory->position < memory->size ? memory->size - memory->position : 0;
    size_t n = 0;
    if (__builtin_mul_overflow(elementSize, count, &n) || n > left) n = static_cast<size_t>(left);
    if (n == 0) return 0;
    MemCopy(destination, memory->data + memory->position, n);
    memory->position += n;
    return n;
}

int CVorbisDecoder::MemSeek(void* source, int64_t offset, int origin) {
    VorbisMemorySource* memory = static_cast<VorbisMemorySource*>(source);
    switch (origin) {
        case kSeekSet: memory->position = static_cast<uint64_t>(offset); break;
        case kSeekCurrent: memory->position += static_cast<uint64_t>(offset); break;
        case kSeekEnd: memory->position = memory->size + static_cast<uint64_t>(offset); break;
        default: ASSERT(false); break;
    }
    return 0;
}

int CVorbisDecoder::MemClose(void*) { return 0; }

long CVorbisDecoder::MemTell(void* source) {
    return static_cast<long>(static_cast<VorbisMemorySource*>(source)->position);
}

void CVorbisDecoder::WriteWavHeader(COutputStream& stream, uint16_t channels, uint16_t bits, uint32_t rate,
                                    uint32_t dataSize) {
    const uint16_t blockAlign = static_cast<uint16_t>(bits / 8 * channels);
    stream.Write(kTagRiff, 4);
    stream.WriteUInt32(dataSize + 36);
    stream.Write(kTagWave, 4);
    stream.Write(kTagFormat, 4);
    stream.WriteUInt32(kFormatChunkSize);
    stream.WriteUInt16(kPcmFormat);
    stream.WriteUInt16(channels);
    stream.WriteUInt32(rate);
    stream.WriteUInt32(rate * blockAlign);
    stream.WriteUInt16(blockAlign);
    stream.WriteUInt16(bits);
    stream.Write(kTagData, 4);
    stream.WriteUInt32(dataSize);
}

bool CVorbisDecoder::IsSupportedFormat(void* file) {
    const vorbis_info* info = ov_info(AsFile(file), -1);
    if (info == nullptr) {
        DebugPrintf("CVorbisDecoder: stream has no format record\n");
        return false;
    }
    if (info->channels != static_cast<int>(kChannels) || info->rate != static_cast<long>(kSampleRate)) {
        DebugPrintf("CVorbisDecoder: %d channels at %ld Hz; only mono %u Hz is played\n", info->channels,
                    info->rate, kSampleRate);
        return false;
    }
    return true;
}

uint32_t CVorbisDecoder::AnnouncedPcmBytes(void* file, uint32_t imageSize) {
    const ogg_int64_t samples = ov_pcm_total(AsFile(file), -1);
    const uint64_t mostPcmBytes = imageSize * kMostPcmBytesPerImageByte;
    const uint64_t limit = mostPcmBytes < kMaxPcmBytes ? mostPcmBytes : kMaxPcmBytes;
    if (samples <= 0 || static_cast<uint64_t>(samples) > limit / 2) {
        DebugPrintf("CVorbisDecoder: stream announces %lld samples, image of %u bytes\n",
                    static_cast<long long>(samples), imageSize);
        return 0;
    }
    return static_cast<uint32_t>(samples * 2);
}

bool CVorbisDecoder::DecodeInto(void* file, uint8_t* samples, uint32_t pcmBytes) {
    uint32_t decoded = 0;
    while (decoded < pcmBytes) {
        const uint32_t wanted = pcmBytes - decoded;
        const int length = wanted > INT_MAX ? INT_MAX : static_cast<int>(wanted);
        const long n = ov_read(AsFile(file), reinterpret_cast<char*>(samples + decoded), length, nullptr);
        if (n <= 0) break;
        decoded += static_cast<uint32_t>(n);
    }
    if (decoded == pcmBytes) return true;
    DebugPrintf("CVorbisDecoder: stream ended after %u of %u PCM bytes\n", decoded, pcmBytes);
    return false;
}

bool CVorbisDecoder::DecodeToPcm(const uint8_t* image, uint32_t imageSize, uint8_t** outBuffer,
                                 uint32_t* outSize, bool raw) {
    *outBuffer = nullptr;
    *outSize = 0;
    VorbisMemorySource source = {image, image == nullptr ? 0 : imageSize, 0};
    const ov_callbacks callbacks = {MemRead, MemSeek, MemClose, MemTell};
    OggVorbis_File file;
    if (ov_open_callbacks(&source, &file, nullptr, 0, callbacks) < 0) {
        DebugPrintf("CVorbisDecoder: not an Ogg Vorbis stream (%u bytes)\n", imageSize);
        return false;
    }
    const uint32_t pcmBytes = IsSupportedFormat(&file) ? AnnouncedPcmBytes(&file, imageSize) : 0;
    const uint32_t headerBytes = raw ? 0 : kWavHeaderSize;
    uint8_t* buffer = pcmBytes == 0 ? nullptr : static_cast<uint8_t*>(MemAllocArray(pcmBytes + headerBytes));
    bool success = buffer != nullptr;
    if (success && !raw) {
        CArrayOutputStream header;
        success = header.Open(buffer, kWavHeaderSize);
        if (success) WriteWavHeader(header, kChannels, kBitsPerSample, kSampleRate, pcmBytes);
        success = success && !header.HasError();
    }
    success = success && DecodeInto(&file, buffer + headerBytes, pcmBytes);
    if (success) {
        *outBuffer = buffer;
        *outSize = pcmBytes + headerBytes;
    } else {
        MemFreeArray(buffer);
    }
    ov_clear(&file);
    return success;
}
