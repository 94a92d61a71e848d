#include "CTargaHeader.h"

#include "CAssert.h"
#include "CInputStream.h"

#include <cstring>

namespace {

constexpr uint32_t kIdLengthOffset = 0;
constexpr uint32_t kColorMapTypeOffset = 1;
constexpr uint32_t kImageTypeOffset = 2;
constexpr uint32_t kWidthOffset = 12;
constexpr uint32_t kHeightOffset = 14;

// Room for the image in one engine block together with a texture header.
constexpr uint64_t kLargestImage = 0xFFFFFFFEu - CTexture::kHeaderBytes;

// A run-length packet is a count byte and at least one pixel, and yields at
// most this many pixels.
constexpr uint64_t kPixelsPerPacket = 128;
constexpr uint8_t kRunFlag = 0x80;
constexpr uint8_t kCountMask = 0x7F;

uint32_t ReadLE16(const uint8_t* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }

}  // namespace

// Short data is refused before it is read: the streams report a read past
// their end as a programming error.
bool CTargaHeader::Read(CInputStream& stream) {
    if (stream.Available() < kBytes) return false;
    uint8_t raw[kBytes];
    stream.Read(raw, kBytes);
    Parse(raw);
    return !stream.HasError();
}

void CTargaHeader::Parse(const uint8_t raw[kBytes]) { std::memcpy(m_raw, raw, kBytes); }

uint32_t CTargaHeader::GetWidth() const { return ReadLE16(m_raw + kWidthOffset); }

uint32_t CTargaHeader::GetHeight() const { return ReadLE16(m_raw + kHeightOffset); }

bool CTargaHeader::IsRunLength() const {
    return m_raw[kImageTypeOffset] == kTypeRunLengthTrueColor || m_raw[kImageTypeOffset] == kTypeRunLengthGrey;
}

uint64_t CTargaHeader::ImageBytes64() const {
    return static_cast<uint64_t>(GetWidth()) * GetHeight() * GetBytesPerPixel();
}

uint32_t CTargaHeader::GetImageBytes() const { return static_cast<uint32_t>(ImageBytes64()); }

bool CTargaHeader::IsSupported(const char* who) const {
    const uint8_t type = m_raw[kImageTypeOffset];
    const bool knownType = type == kTypeTrueColor || type == kTypeGrey || IsRunLength();
    if (GetBytesPerPixel() < 2 || !knownType || m_raw[kColorMapTypeOffset] != 0) {
        DebugPrintf("%s: Targa type %u, colour map %u, depth %u is not supported", who, type,
                    m_raw[kColorMapTypeOffset], m_raw[16]);
        return false;
    }
    if (ImageBytes64() > kLargestImage) {
        DebugPrintf("%s: Targa image of %ux%u is too large", who, GetWidth(), GetHeight());
        return false;
    }
    return true;
}

bool CTargaHeader::IsLoadable(uint32_t dataBytes, const char* who) const {
    if (!IsSupported(who)) return false;
    const uint64_t pixels = static_cast<uint64_t>(GetWidth()) * GetHeight();
    const uint64_t packetBytes = 1 + static_cast<uint64_t>(GetBytesPerPixel());
    const uint64_t reachable =
        IsRunLength() ? (dataBytes + packetBytes - 1) / packetBytes * kPixelsPerPacket : dataBytes / GetBytesPerPixel();
    if (pixels > reachable) {
        DebugPrintf("%s: Targa data of %u bytes cannot hold a %ux%u image", who, dataBytes, GetWidth(), GetHeight());
        return false;
    }
    return true;
}

bool CTargaHeader::ReadPixels(CInputStream& stream, uint8_t* dst, uint32_t rawBytes) const {
    if (IsRunLength()) return DecodeRuns(stream, dst) && !stream.HasError();
    stream.Read(dst, rawBytes);
    return !stream.HasError();
}

bool CTargaHeader::DecodeRuns(CInputStream& stream, uint8_t* dst) const {
    const uint32_t pixelBytes = GetBytesPerPixel();
    const uint32_t total = GetImageBytes();
    if (stream.Available() < m_raw[kIdLengthOffset]) return false;
    stream.Skip(m_raw[kIdLengthOffset]);
    uint32_t done = 0;
    while (done < total) {
        if (stream.Available() < 1) return false;
        const uint8_t packet = stream.ReadUInt8();
        const uint32_t count = (packet & kCountMask) + 1u;
        if (count > (total - done) / pixelBytes) {
            DebugPrintf("Targa run of %u pixels crosses the end of the image", count);
            return false;
        }
        const uint32_t stored = (packet & kRunFlag) == 0 ? count * pixelBytes : pixelBytes;
        if (stream.Available() < stored) return false;
        stream.Read(dst + done, stored);
        for (uint32_t i = stored / pixelBytes; i < count; ++i) {
            std::memcpy(dst + done + i * pixelBytes, dst + done, pixelBytes);
        }
        done += count * pixelBytes;
    }
    return true;
}

void CTargaHeader::Describe(CTexture::Header& header) const {
    std::memset(&header, 0, sizeof(header));
    const uint8_t type = m_raw[kImageTypeOffset];
    const uint32_t bytesPerPixel = GetBytesPerPixel();
    if (type == kTypeGrey || type == kTypeRunLengthGrey) {
        header.format = CTexture::kFormatLuminance;
        header.type = CTexture::kTypeUnsignedByte;
        header.bitsPerPixel = 8;
    } else if (bytesPerPixel == 2) {
        header.format = CTexture::kFormatRGB;
        header.type = CTexture::kTypeR5G6B5;
        header.bitsPerPixel = 16;
    } else if (bytesPerPixel == 3) {
        header.format = CTexture::kFormatRGB;
        header.type = CTexture::kTypeUnsignedByte;
        header.bitsPerPixel = 24;
    } else {
        header.format = CTexture::kFormatRGBA;
        header.type = CTexture::kTypeUnsignedByte;
        header.bitsPerPixel = 32;
    }
    header.internalFormat = header.format;
    header.width = GetWidth();
    header.height = GetHeight();
    header.size = GetImageBytes();
}

void CTargaHeader::Encode(uint8_t out[kBytes]) const {
    std::memcpy(out, m_raw, kBytes);
    if (!IsRunLength()) return;
    out[kIdLengthOffset] = 0;
    out[kImageTypeOffset] = m_raw[kImageTypeOffset] == kTypeRunLengthGrey ? kTypeGrey : kTypeTrueColor;
}
