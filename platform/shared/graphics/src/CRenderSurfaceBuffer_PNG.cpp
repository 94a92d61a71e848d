// The PNG loader of CRenderSurfaceBuffer: indexed images only, made of the
// chunks IHDR, PLTE, an optional tRNS and one IDAT, in that order.

#include "CRenderSurfaceBuffer.h"

#include "CAssert.h"
#include "CColor.h"
#include "CInputStream.h"
#include "CPngRowStream.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceLoadParams.h"
#include "CZipInputStream.h"

namespace {

enum PngChunk : uint32_t {
    kChunkOther = 0,
    kChunkIHDR = 1,
    kChunkPLTE = 2,
    kChunkTRNS = 3,
    kChunkIDAT = 4,
    kChunkIEND = 5
};

constexpr uint32_t kIHDRLength = 13;
constexpr uint8_t kColorTypeIndexed = 3;

struct PngChunkHeader {
    uint32_t length;
    uint32_t type;
};

struct PngImageHeader {
    int32_t width;
    int32_t height;
    int8_t bitDepth;
    int8_t colorType;
    int8_t compression;
    int8_t filter;
    int8_t interlace;
};

bool ReadSignature(CInputStream* stream) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (stream->Available() < sizeof(kSignature)) return false;
    for (uint8_t expected : kSignature) {
        if (stream->ReadUInt8() != expected) return false;
    }
    return !stream->HasError();
}

uint32_t ReadChunkType(CInputStream* stream) {
    uint8_t name[4];
    stream->Read(name, sizeof(name));
    static const char* const kNames[] = {"IHDR", "PLTE", "tRNS", "IDAT", "IEND"};
    for (uint32_t i = 0; i < 5; ++i) {
        const char* known = kNames[i];
        if (name[0] == known[0] && name[1] == known[1] && name[2] == known[2] && name[3] == known[3]) return i + 1;
    }
    return kChunkOther;
}

bool ReadChunkHeader(CInputStream* stream, PngChunkHeader* header) {
    if (stream->Available() < 8) return false;
    header->length = stream->ReadUInt32();
    header->type = ReadChunkType(stream);
    return !stream->HasError();
}

bool ReadIHDR(CInputStream* stream, PngImageHeader* header) {
    if (stream->Available() < kIHDRLength) return false;
    header->width = stream->ReadInt32();
    header->height = stream->ReadInt32();
    header->bitDepth = stream->ReadInt8();
    header->colorType = stream->ReadInt8();
    header->compression = stream->ReadInt8();
    header->filter = stream->ReadInt8();
    header->interlace = stream->ReadInt8();
    return !stream->HasError();
}

bool ReadCRC(CInputStream* stream) {
    if (stream->Available() < 4) return false;
    stream->ReadUInt32();
    return !stream->HasError();
}

// A chunk body the loader does not read; false when the stream is short.
bool SkipChunkData(CInputStream* stream, uint32_t length) {
    if (stream->Available() < length) return false;
    stream->Skip(length);
    return !stream->HasError();
}

// What the loader decodes: indexed, 4 or 8 bits, not interlaced, sides 1 to 65535.
bool IsLoadablePNG(const PngImageHeader& h) {
    const bool sides = h.width > 0 && h.height > 0 && h.width <= CRenderSurfaceBuffer::kMaxImageSide &&
                       h.height <= CRenderSurfaceBuffer::kMaxImageSide;
    const bool depth = h.bitDepth == 4 || h.bitDepth == 8;
    if (sides && depth && h.colorType == kColorTypeIndexed && h.compression == 0 && h.filter == 0 && h.interlace == 0) {
        return true;
    }
    DebugPrintf("CRenderSurfaceBuffer: unsupported PNG (%d x %d, depth %d, colour type %d, interlace %d)\n", h.width,
                h.height, h.bitDepth, h.colorType, h.interlace);
    return false;
}

bool ReadImageHeader(CInputStream* stream, PngImageHeader* image) {
    PngChunkHeader chunk;
    if (!ReadSignature(stream) || !ReadChunkHeader(stream, &chunk)) return false;
    if (chunk.type != kChunkIHDR || chunk.length != kIHDRLength) return false;
    return ReadIHDR(stream, image) && ReadCRC(stream) && IsLoadablePNG(*image);
}

// Reads PLTE into the table (or skips it when the table is the caller's);
// the number of entries comes back in *entries.
bool ReadPLTE(CInputStream* stream, uint32_t* table, bool readColors, uint32_t* entries) {
    PngChunkHeader chunk;
    if (!ReadChunkHeader(stream, &chunk) || chunk.type != kChunkPLTE || chunk.length % 3 != 0) return false;
    *entries = chunk.length / 3;
    if (*entries == 0 || *entries > CRenderSurfaceBuffer::kPaletteEntries) {
        DebugPrintf("CRenderSurfaceBuffer: PNG palette of %u entries\n", *entries);
        return false;
    }
    if (!readColors) return SkipChunkData(stream, chunk.length) && ReadCRC(stream);
    if (stream->Available() < chunk.length) return false;
    uint8_t rgb[CRenderSurfaceBuffer::kPaletteEntries * 3];
    stream->Read(rgb, chunk.length);
    for (uint32_t i = 0; i < *entries; ++i) {
        const uint8_t* entry = rgb + i * 3;
        table[i] = static_cast<uint32_t>(entry[0]) << 16 | static_cast<uint32_t>(entry[1]) << 8 | entry[2];
    }
    return !stream->HasError() && ReadCRC(stream);
}

// Reads tRNS when it comes next, setting the alpha bytes of the palette;
// otherwise leaves the chunk header it read in *next. Entries without a
// stated alpha are opaque.
bool ReadTransparency(CInputStream* stream, uint32_t* table, bool readColors, uint32_t entries, PngChunkHeader* next,
                      bool* nextRead) {
    if (!ReadChunkHeader(stream, next)) return false;
    *nextRead = next->type != kChunkTRNS;
    uint32_t alphas = 0;
    if (!*nextRead && readColors) {
        alphas = next->length < entries ? next->length : entries;
        if (stream->Available() < alphas) return false;
        uint8_t alpha[CRenderSurfaceBuffer::kPaletteEntries];
        stream->Read(alpha, alphas);
        for (uint32_t i = 0; i < alphas; ++i) table[i] = (table[i] & 0xFFFFFFu) | static_cast<uint32_t>(alpha[i]) << 24;
    }
    // A caller's table keeps the alphas it has when the file states its own.
    if (readColors || *nextRead) {
        for (uint32_t i = alphas; i < entries; ++i) table[i] |= 0xFF000000u;
    }
    if (*nextRead) return true;
    return SkipChunkData(stream, next->length - alphas) && ReadCRC(stream);
}

// The next chunk must be IDAT, present in full, and able to inflate to the
// image: deflate never expands a byte into more than 1032, so shorter data is
// refused before any plane memory is spent on it.
bool IsPlausibleImageData(const PngChunkHeader& chunk, uint64_t unpacked, uint32_t available) {
    constexpr uint64_t kMaxInflateRatio = 1032;
    return chunk.type == kChunkIDAT && chunk.length <= available && unpacked <= 0xFFFFFFFFu &&
           unpacked <= static_cast<uint64_t>(chunk.length) * kMaxInflateRatio;
}

}  // namespace

bool CRenderSurfaceBuffer::LoadPNG(uint32_t* scratchPalette, uint32_t** palettePlace,
                                   const CRenderSurfaceLoadParams* loadParams, int32_t pitchMode, int16_t pitch,
                                   void* pixels) {
    if (loadParams == nullptr || loadParams->stream == nullptr) return false;
    const CRenderSurface::PlaneChange change(m_owner);
    CInputStream* stream = loadParams->stream;
    stream->SetSwapBytes(1);
    PngImageHeader image;
    if (!ReadImageHeader(stream, &image)) {
        DebugPrintf("CRenderSurfaceBuffer: no PNG image header\n");
        return false;
    }
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * static_cast<uint32_t>(image.bitDepth) + 7) / 8;
    const uint32_t sourceFormat = image.bitDepth < 8 ? RSBFormat_P16X8R8G8B8 : RSBFormat_P256X8R8G8B8;
    if (!ChooseLoadFormat(sourceFormat, loadParams)) return false;

    uint32_t localScratch[kPaletteEntries];
    const PaletteTarget palette =
        SelectPalette(palettePlace, scratchPalette != nullptr ? scratchPalette : localScratch);
    uint32_t entries = 0;
    PngChunkHeader next;
    bool nextRead = false;
    if (palette.table == nullptr || !ReadPLTE(stream, palette.table, palette.readFromFile, &entries) ||
        !ReadTransparency(stream, palette.table, palette.readFromFile, entries, &next, &nextRead)) {
        DebugPrintf("CRenderSurfaceBuffer: PNG palette missing or malformed\n");
        return false;
    }
    if (loadParams->colorKeyPresent != 0) KeyOut(palette.table, entries, loadParams->colorKey);

    if (!nextRead && !ReadChunkHeader(stream, &next)) return false;
    const uint64_t unpacked = static_cast<uint64_t>(image.height) * (rowBytes + 1u);
    if (!IsPlausibleImageData(next, unpacked, stream->Available())) {
        DebugPrintf("CRenderSurfaceBuffer: PNG image data missing, out of place or too short\n");
        return false;
    }
    if (pitchMode == kPitchExplicit && m_pitch == 0) m_pitch = pitch;
    if (!PlaceImage(image.width, image.height, loadParams->swapAxes != 0) || !SetLoadPitch() ||
        !PrepareLoadMemory(pitchMode, pixels)) {
        return false;
    }
    CZipInputStream scanlines;
    CPngRowStream rows;
    if (!scanlines.Open(stream, next.length, static_cast<uint32_t>(unpacked)) ||
        !rows.Open(&scanlines, rowBytes, static_cast<uint32_t>(image.height))) {
        return false;
    }
    return DecodeRows(sourceFormat, loadParams, &rows, 0, palette.table, image.width, image.height, false);
}
