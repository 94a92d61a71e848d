#include "CRenderSurfaceBuffer.h"

#include "CAssert.h"
#include "BlitDecode.h"
#include "CBlitUtil.h"
#include "CColor.h"
#include "CDIB.h"
#include "CInputStream.h"
#include "CPixelChannels.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceLoadParams.h"

namespace {

constexpr int32_t kMaxPitch = 32767;

// Row bytes of `width` pixels of `format`, or -1 when a row cannot be
// addressed with a 16-bit pitch.
int32_t PackedRowBytes(uint32_t format, uint32_t width) {
    const uint64_t bytes = static_cast<uint64_t>(width) * CColor::BytesPerPixel(format);
    return bytes > static_cast<uint64_t>(kMaxPitch) ? -1 : static_cast<int32_t>(bytes);
}

int32_t AbsPitch(int16_t pitch) { return pitch < 0 ? -static_cast<int32_t>(pitch) : pitch; }

// The two 16-colour destinations decode into 256-colour planes.
uint32_t WidenPaletteFormat(uint32_t format) {
    if (format == RSBFormat_P16X8R8G8B8) return RSBFormat_P256X8R8G8B8;
    if (format == RSBFormat_P16A8R8G8B8) return RSBFormat_P256A8R8G8B8;
    return format;
}

}  // namespace

CRenderSurfaceBuffer::CRenderSurfaceBuffer(CRenderSurface* owner) : m_owner(owner) {}

// Deleting a plane is its owner's own change of its planes, told by the owner.
CRenderSurfaceBuffer::~CRenderSurfaceBuffer() { FreePixels(); }

const WChar* CRenderSurfaceBuffer::GetFormatName(uint32_t format) { return CColor::GetFormatName(format); }

uint32_t CRenderSurfaceBuffer::RoundUpPow2(uint32_t n) {
    if (n <= 1) return n;
    for (uint32_t size = 2; size <= kMaxPow2; size <<= 1) {
        if (size >= n) return size;
    }
    return 0;
}

bool CRenderSurfaceBuffer::ConvertColor(uint32_t srcFormat, const void* src, uint32_t dstFormat, void* dst) {
    if (srcFormat != RSBFormat_Z32) return CColor::ConvertPixel(srcFormat, src, dstFormat, dst);
    // A depth value is carried across unconverted.
    const uint32_t depth = PixelChannels::Load32(src);
    switch (dstFormat) {
        case RSBFormat_R5G6B5: PixelChannels::Store16(dst, depth >> 16); return true;
        case RSBFormat_X8R8G8B8:
        case RSBFormat_A8R8G8B8: PixelChannels::Store32(dst, depth); return true;
        case RSBFormat_ARGB_FIXED: {
            const int32_t channel = static_cast<int32_t>(depth);
            const RSBFormat_ARGB_fixed fixed = {channel, channel, channel, channel};
            MemCopy(dst, &fixed, sizeof(fixed));
            return true;
        }
        default: return false;
    }
}

uint32_t CRenderSurfaceBuffer::ToZ32(uint32_t srcFormat, const void* src) {
    return srcFormat == RSBFormat_Z32 ? PixelChannels::Load32(src) : 0;
}

void* CRenderSurfaceBuffer::GetPixels(uint32_t plane) const { return plane == 0 ? m_pixels : nullptr; }

void CRenderSurfaceBuffer::FlipToBottom() {
    if (m_pixels == nullptr || m_pitch < 1) return;
    m_pixels += static_cast<intptr_t>(m_height - 1) * m_pitch;
    m_pitch = static_cast<int16_t>(-m_pitch);
}

void CRenderSurfaceBuffer::FlipToTop() {
    if (m_pixels == nullptr || m_pitch >= 0) return;
    m_pixels += static_cast<intptr_t>(m_height - 1) * m_pitch;
    m_pitch = static_cast<int16_t>(-m_pitch);
}

bool CRenderSurfaceBuffer::Allocate(int32_t pitch, uint16_t height) {
    const size_t bytes = static_cast<size_t>(pitch < 0 ? -pitch : pitch) * height;
    m_block = static_cast<uint8_t*>(MemAlloc(bytes));
    m_pixels = m_block;
    if (m_block == nullptr) {
        DebugPrintf("CRenderSurfaceBuffer: no memory for %u bytes\n", static_cast<uint32_t>(bytes));
        return false;
    }
    MemSet(m_block, 0, bytes);
    return true;
}

// A surface's plane leaves its block to the surface, which frees it once
// every watcher has been told that it is let go of.
bool CRenderSurfaceBuffer::FreePixels() {
    if ((m_flags & kFlagOwnsPixels) == 0) return false;
    if (m_owner != nullptr) {
        m_owner->RetirePixels(m_block);
    } else {
        MemFree(m_block);
    }
    m_block = nullptr;
    m_pixels = nullptr;
    return true;
}

void CRenderSurfaceBuffer::Release() {
    const CRenderSurface::PlaneChange change(m_owner);
    FreePixels();
    m_pixels = nullptr;
    m_block = nullptr;
    m_format = 0;
    // What kind of buffer it is stays.
    m_flags = static_cast<uint16_t>(m_flags & kFlagExtended);
    m_pitch = 0;
    m_width = 0;
    m_height = 0;
}

// Row 0 becomes the last row of the block.
void CRenderSurfaceBuffer::MakeBottomUp() {
    const int32_t rowBytes = AbsPitch(m_pitch);
    m_pixels = m_block + static_cast<size_t>(rowBytes) * static_cast<size_t>(m_height - 1);
    m_pitch = static_cast<int16_t>(-rowBytes);
}

bool CRenderSurfaceBuffer::Create(uint32_t format, uint16_t width, uint16_t height, bool powerOfTwo,
                                  uint32_t** palettePlace, const CRenderSurfaceLoadParams* loadParams,
                                  int32_t pitchMode, int16_t pitch, void* pixels) {
    const CRenderSurface::PlaneChange change(m_owner);
    Release();
    m_format = format;
    SetCreateSize(width, height, powerOfTwo);
    bool created = SetCreatePitch(pitchMode, pitch);
    if (created) {
        const bool external = AdoptExternal(pitchMode, pixels);
        if (loadParams != nullptr) {
            created = LoadImage(palettePlace, loadParams, pitchMode, pixels);
        } else {
            created = external || AllocateOwn(pitchMode);
        }
    }
    if (!created) Release();
    return created;
}

void CRenderSurfaceBuffer::SetCreateSize(uint16_t width, uint16_t height, bool powerOfTwo) {
    if (!powerOfTwo) {
        m_width = width;
        m_height = height;
        return;
    }
    // Planes are not expected to be rounded any more; the request is still honoured.
    ASSERT(false);
    m_width = static_cast<uint16_t>(RoundUpPow2(width));
    m_height = static_cast<uint16_t>(RoundUpPow2(height));
    m_flags = static_cast<uint16_t>(m_flags | kFlagPowerOfTwo);
}

bool CRenderSurfaceBuffer::SetCreatePitch(int32_t pitchMode, int16_t pitch) {
    if (m_format == 0 || m_width == 0 || m_height == 0) return true;
    if (pitchMode == kPitchExplicit) {
        m_pitch = pitch;
        return true;
    }
    const int32_t rowBytes = PackedRowBytes(m_format, m_width);
    if (rowBytes < 0) {
        DebugPrintf("CRenderSurfaceBuffer: rows of %u pixels are too long\n", m_width);
        return false;
    }
    m_pitch = static_cast<int16_t>(rowBytes);
    return true;
}

bool CRenderSurfaceBuffer::AdoptExternal(int32_t pitchMode, void* pixels) {
    if (pixels == nullptr || m_width == 0 || m_height == 0 || m_pitch == 0) return false;
    m_pixels = static_cast<uint8_t*>(pixels);
    m_block = nullptr;
    // The caller passes the top row, which is the last one in its memory.
    if (pitchMode == kPitchBottomUp) m_pitch = static_cast<int16_t>(-m_pitch);
    m_flags = static_cast<uint16_t>((m_flags & ~kFlagOwnsPixels) | kFlagExternal);
    return true;
}

bool CRenderSurfaceBuffer::AllocateOwn(int32_t pitchMode) {
    if (m_format == 0 || m_width == 0 || m_height == 0 || m_pitch == 0) return false;
    if (AbsPitch(m_pitch) < static_cast<int32_t>(m_width * CColor::BytesPerPixel(m_format))) return false;
    if (!Allocate(m_pitch, m_height)) return false;
    m_flags = static_cast<uint16_t>((m_flags & ~kFlagExternal) | kFlagOwnsPixels);
    if (pitchMode == kPitchBottomUp || m_pitch < 0) MakeBottomUp();
    return true;
}

bool CRenderSurfaceBuffer::LoadImage(uint32_t** palettePlace, const CRenderSurfaceLoadParams* loadParams,
                                     int32_t pitchMode, void* pixels) {
    if (loadParams->type == CRenderSurfaceLoadParams::kTypeBMP) {
        return LoadBMP(palettePlace, loadParams, pitchMode, pixels);
    }
    ASSERT(false);
    DebugPrintf("CRenderSurfaceBuffer: cannot load image type 0x%08x\n", loadParams->type);
    return false;
}

// ---- Image loading, shared by the BMP and PNG readers ----

bool CRenderSurfaceBuffer::ChooseLoadFormat(uint32_t sourceFormat, const CRenderSurfaceLoadParams* loadParams) {
    if (m_format != 0) return true;
    m_format = WidenPaletteFormat(loadParams->MapFormat(sourceFormat));
    if (m_format != 0) return true;
    DebugPrintf("CRenderSurfaceBuffer: no plane format for image format 0x%x\n", sourceFormat);
    return false;
}

CRenderSurfaceBuffer::PaletteTarget CRenderSurfaceBuffer::SelectPalette(uint32_t** palettePlace,
                                                                        uint32_t* scratch) const {
    if (palettePlace != nullptr && *palettePlace != nullptr) return {*palettePlace, false};
    const size_t bytes = kPaletteEntries * sizeof(uint32_t);
    uint32_t* table = scratch;
    if (palettePlace != nullptr && (m_format & kFormatPaletted) != 0) {
        // A full table whatever the file holds: the plane's pixels may index any entry.
        table = static_cast<uint32_t*>(MemAlloc(bytes));
        if (table == nullptr) return {nullptr, false};
        *palettePlace = table;
    }
    if (table != nullptr) MemSet(table, 0, bytes);
    return {table, true};
}

void CRenderSurfaceBuffer::MakeOpaque(uint32_t* palette, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) palette[i] |= 0xFF000000u;
}

void CRenderSurfaceBuffer::KeyOut(uint32_t* palette, uint32_t count, uint32_t colorKey) {
    for (uint32_t i = 0; i < count; ++i) {
        if ((palette[i] & 0xFFFFFFu) == (colorKey & 0xFFFFFFu)) palette[i] &= 0xFFFFFFu;
    }
}

bool CRenderSurfaceBuffer::PlaceImage(int32_t imageWidth, int32_t imageHeight, bool swapAxes) {
    uint32_t targetWidth = static_cast<uint32_t>(imageWidth);
    uint32_t targetHeight = static_cast<uint32_t>(imageHeight);
    if ((m_flags & kFlagPowerOfTwo) != 0) {
        targetWidth = RoundUpPow2(targetWidth);
        targetHeight = RoundUpPow2(targetHeight);
    }
    const uint32_t planeWidth = swapAxes ? targetHeight : targetWidth;
    const uint32_t planeHeight = swapAxes ? targetWidth : targetHeight;
    const bool fits = planeWidth != 0 && planeHeight != 0 && (m_width == 0 || m_width == planeWidth) &&
                      (m_height == 0 || m_height == planeHeight);
    if (!fits) {
        DebugPrintf("CRenderSurfaceBuffer: image of %d x %d does not fit a %u x %u plane\n", imageWidth, imageHeight,
                    m_width, m_height);
        return false;
    }
    m_width = static_cast<uint16_t>(planeWidth);
    m_height = static_cast<uint16_t>(planeHeight);
    return true;
}

bool CRenderSurfaceBuffer::SetLoadPitch() {
    uint32_t bits = 8 * CColor::BytesPerPixel(m_format);
    if (bits == 0 && (m_format == RSBFormat_P16X8R8G8B8 || m_format == RSBFormat_P16A8R8G8B8)) bits = 4;
    if (bits == 0) return false;
    const uint64_t rowBytes = (static_cast<uint64_t>(m_width) * bits + 7) / 8;
    if (rowBytes > static_cast<uint64_t>(kMaxPitch) ||
        (m_pitch != 0 && static_cast<uint64_t>(AbsPitch(m_pitch)) != rowBytes)) {
        DebugPrintf("CRenderSurfaceBuffer: pitch %d does not suit rows of %u bytes\n", m_pitch,
                    static_cast<uint32_t>(rowBytes));
        return false;
    }
    m_pitch = static_cast<int16_t>(rowBytes);
    return true;
}

bool CRenderSurfaceBuffer::PrepareLoadMemory(int32_t pitchMode, void* pixels) {
    FreePixels();
    if (pixels != nullptr) {
        m_flags = static_cast<uint16_t>(m_flags & ~kFlagOwnsPixels);
        return AdoptExternal(pitchMode, pixels);
    }
    // A small file can describe a huge image: its header alone must not
    // decide how much memory the plane takes.
    const uint64_t bytes = static_cast<uint64_t>(AbsPitch(m_pitch)) * m_height;
    if (bytes > kMaxPlaneBytes) {
        DebugPrintf("CRenderSurfaceBuffer: a %u x %u image plane is too large\n", m_width, m_height);
        return false;
    }
    return AllocateOwn(pitchMode);
}

bool CRenderSurfaceBuffer::DecodeRows(uint32_t sourceFormat, const CRenderSurfaceLoadParams* loadParams,
                                      CInputStream* rows, int32_t rowSkip, const uint32_t* palette, int32_t imageWidth,
                                      int32_t imageHeight, bool bottomUpRows) {
    const uint32_t mode = loadParams->colorKeyPresent != 0 ? kBlitModeTransparent : kBlitModePlain;
    BlitEntry request = {sourceFormat, m_format, mode, 0, 0, kBlitKindDecode, nullptr};
    if (!CBlitUtil::FindBlitter(&request)) {
        DebugPrintf("CRenderSurfaceBuffer: no decoder from 0x%x to 0x%x\n", sourceFormat, m_format);
        return false;
    }
    BlitDecodeDesc desc = {};
    desc.stream = rows;
    desc.skipCount = rowSkip;
    desc.palette = palette;
    desc.destStride = m_pitch;
    desc.destPixels = m_pixels;
    desc.width = imageWidth;
    desc.height = imageHeight;
    desc.colorKey = loadParams->colorKey;
    desc.keyed = loadParams->colorKeyPresent;
    desc.transpose = loadParams->swapAxes;
    desc.mirrorX = loadParams->mirrorX;
    desc.mirrorY = loadParams->mirrorY;
    if (bottomUpRows && desc.destStride > 0) {
        // The first row read is the image's bottom row: start at the plane's last row.
        desc.destPixels += static_cast<intptr_t>(m_height - 1) * desc.destStride;
        desc.destStride = static_cast<int16_t>(-desc.destStride);
        if (desc.transpose != 0) {
            desc.mirrorX = desc.mirrorX != 0 ? 0 : 1;
            desc.mirrorY = desc.mirrorY != 0 ? 0 : 1;
        }
    }
    request.routine(&desc);
    if (rows->HasError()) {
        DebugPrintf("CRenderSurfaceBuffer: image data ended early\n");
        return false;
    }
    return true;
}

// ---- BMP ----

namespace {

// What the loader decodes: 4-, 8- and 24-bit rows without compression, sides
// up to 65535.
bool IsLoadableBMP(const CDIB::Header& header) {
    const bool depth = header.bitCount == 4 || header.bitCount == 8 || header.bitCount == 24;
    const bool sides =
        header.width <= CRenderSurfaceBuffer::kMaxImageSide && header.height <= CRenderSurfaceBuffer::kMaxImageSide;
    if (depth && sides && header.compression == CDIB::kCompressionNone) return true;
    DebugPrintf("CRenderSurfaceBuffer: unsupported BMP (%d x %d, %u bits, compression %u)\n", header.width,
                header.height, header.bitCount, header.compression);
    return false;
}

uint32_t BMPSourceFormat(const CDIB::Header& header) {
    if (header.paletteBytes == 0) return RSBFormat_R8G8B8;
    return header.bitCount < 8 ? RSBFormat_P16X8R8G8B8 : RSBFormat_P256X8R8G8B8;
}

// Reads `count` (at most 256) 32-bit entries in one block, each in the
// stream's byte order, as ReadUInt32 would take them one by one.
void ReadPaletteWords(CInputStream* stream, uint32_t* table, uint32_t count) {
    uint8_t bytes[CRenderSurfaceBuffer::kPaletteEntries * 4];
    stream->Read(bytes, count * 4);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t* entry = bytes + i * 4;
        if (stream->GetSwapBytes()) CInputStream::ReverseBytes(entry, 4);
        table[i] = PixelChannels::Load32(entry);
    }
}

}  // namespace

bool CRenderSurfaceBuffer::ReadBMPPalette(CInputStream* stream, uint32_t paletteBytes,
                                          const CRenderSurfaceLoadParams* loadParams, uint32_t** palettePlace,
                                          uint32_t* scratch, uint32_t** palette) {
    if (stream->Available() < paletteBytes) {
        DebugPrintf("CRenderSurfaceBuffer: BMP palette truncated\n");
        return false;
    }
    const PaletteTarget target = SelectPalette(palettePlace, scratch);
    if (target.table == nullptr) return false;
    // The header check holds the file's colours to what the bit count indexes (at most 256).
    const uint32_t count = paletteBytes / 4;
    if (target.readFromFile) {
        ReadPaletteWords(stream, target.table, count);
    } else {
        stream->Skip(paletteBytes);
    }
    if (stream->HasError()) return false;
    if (loadParams->colorKeyPresent != 0) {
        MakeOpaque(target.table, count);
        KeyOut(target.table, count, loadParams->colorKey);
    } else if (m_format == RSBFormat_P16X8R8G8B8 || m_format == RSBFormat_P256X8R8G8B8) {
        MakeOpaque(target.table, count);
    }
    *palette = target.table;
    return true;
}

bool CRenderSurfaceBuffer::LoadBMP(uint32_t** palettePlace, const CRenderSurfaceLoadParams* loadParams,
                                   int32_t pitchMode, void* pixels) {
    CInputStream* stream = loadParams->stream;
    CDIB::Header header;
    if (stream == nullptr || !CDIB::ParseHeader(stream, &header) || !IsLoadableBMP(header)) return false;
    const uint32_t sourceFormat = BMPSourceFormat(header);
    if (!ChooseLoadFormat(sourceFormat, loadParams)) return false;
    // Info headers beyond the classic 40 bytes come before the palette.
    stream->Skip(header.infoSize - CDIB::kInfoHeaderSize);
    uint32_t scratch[kPaletteEntries];
    uint32_t* palette = nullptr;
    if (header.paletteBytes != 0 &&
        !ReadBMPPalette(stream, header.paletteBytes, loadParams, palettePlace, scratch, &palette)) {
        return false;
    }
    if (!PlaceImage(header.width, header.height, loadParams->swapAxes != 0) || !SetLoadPitch()) return false;
    const uint64_t consumed = static_cast<uint64_t>(header.paletteOffset) + header.paletteBytes;
    if (header.pixelOffset < consumed) {
        DebugPrintf("CRenderSurfaceBuffer: BMP pixels overlap its headers\n");
        return false;
    }
    stream->Skip(static_cast<uint32_t>(header.pixelOffset - consumed));
    const uint32_t rowBytes = CDIB::RowBytes(header.width, header.bitCount);
    const uint32_t usedBytes = (static_cast<uint32_t>(header.width) * header.bitCount + 7) / 8;
    if (stream->HasError() || stream->Available() < static_cast<uint64_t>(rowBytes) * header.height) {
        DebugPrintf("CRenderSurfaceBuffer: BMP rows truncated\n");
        return false;
    }
    if (!PrepareLoadMemory(pitchMode, pixels)) return false;
    return DecodeRows(sourceFormat, loadParams, stream, static_cast<int32_t>(rowBytes - usedBytes), palette,
                      header.width, header.height, true);
}
