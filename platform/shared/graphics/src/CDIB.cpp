#include "CDIB.h"

#include "CArrayInputStream.h"
#include "CAssert.h"
#include "CInputStream.h"
#include "CMemory.h"

namespace {

bool IsKnownBitCount(uint32_t bitCount) {
    return bitCount == 1 || bitCount == 2 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

// Palette bytes as the header implies them; false for a colour count the bit
// count cannot index (a negative one included).
bool PaletteBytesOf(const CDIB::Header& h, uint32_t* bytes) {
    if (h.bitCount <= 8) {
        const int32_t indexable = 1 << h.bitCount;
        if (h.colorsUsed < 0 || h.colorsUsed > indexable) return false;
        *bytes = static_cast<uint32_t>(h.colorsUsed != 0 ? h.colorsUsed : indexable) * 4u;
        return true;
    }
    const bool masks = (h.bitCount == 16 || h.bitCount == 32) && h.compression == CDIB::kCompressionBitFields;
    *bytes = masks ? 12u : 0u;
    return true;
}

void ReadFields(CInputStream* stream, CDIB::Header* h) {
    h->signature[0] = stream->ReadUInt8();
    h->signature[1] = stream->ReadUInt8();
    h->fileSize = stream->ReadUInt32();
    stream->Skip(4);
    h->pixelOffset = stream->ReadUInt32();
    h->infoSize = stream->ReadUInt32();
    h->width = stream->ReadInt32();
    h->height = stream->ReadInt32();
    h->planes = stream->ReadUInt16();
    h->bitCount = stream->ReadUInt16();
    h->compression = stream->ReadUInt32();
    h->imageSize = stream->ReadUInt32();
    h->xResolution = stream->ReadInt32();
    h->yResolution = stream->ReadInt32();
    h->colorsUsed = stream->ReadInt32();
    h->colorsImportant = stream->ReadInt32();
}

}  // namespace

CDIB::CDIB() : m_header{} {}

CDIB::CDIB(const uint8_t* data, uint32_t size, uint32_t flag) : m_header{} {
    // The block stays the caller's whatever the flag says.
    ASSERT(flag == 0);
    CArrayInputStream stream;
    if (data == nullptr || !stream.Open(data, size) || size < kHeadersSize) return;
    if (!ParseHeader(&stream, &m_header) || !HasAddressableLayout() || !FitsInBlock(size)) {
        DebugPrintf("CDIB: block of %u bytes is not a usable BMP\n", size);
        m_header = Header{};
        return;
    }
    m_stride = -static_cast<int32_t>(RowBytes(m_header.width, m_header.bitCount));
    m_paletteSize = m_header.paletteBytes;
    m_palette = m_paletteSize != 0 ? data + m_header.paletteOffset : nullptr;
    m_pixels = data + m_header.pixelOffset + static_cast<size_t>(-m_stride) * static_cast<size_t>(m_header.height - 1);
}

CDIB::~CDIB() { Release(); }

uint32_t CDIB::RowBytes(int32_t width, uint32_t bitCount) {
    if (width <= 0) return 0;
    const uint64_t bytes = ((static_cast<uint64_t>(width) * bitCount + 31u) >> 5) * 4u;
    return bytes > 0x7FFFFFFFu ? 0u : static_cast<uint32_t>(bytes);
}

bool CDIB::ParseHeader(CInputStream* stream, Header* header) {
    if (stream == nullptr || header == nullptr || stream->Available() == 0) return false;
    if (stream->Available() < kHeadersSize) {
        DebugPrintf("CDIB: stream too short for the headers\n");
        return false;
    }
    Header h{};
    ReadFields(stream, &h);
    if (stream->HasError() || h.signature[0] != 'B' || h.signature[1] != 'M' || h.fileSize == 0) {
        DebugPrintf("CDIB: not a BMP image\n");
        return false;
    }
    if (h.width <= 0 || h.height <= 0 || h.infoSize < kInfoHeaderSize || h.infoSize > 0xFFFF0000u ||
        !IsKnownBitCount(h.bitCount)) {
        DebugPrintf("CDIB: unsupported header (%d x %d, %u bits, info %u)\n", h.width, h.height, h.bitCount,
                    h.infoSize);
        return false;
    }
    if (!PaletteBytesOf(h, &h.paletteBytes)) {
        DebugPrintf("CDIB: %d colours for %u bits\n", h.colorsUsed, h.bitCount);
        return false;
    }
    h.paletteOffset = h.infoSize + kFileHeaderSize;
    *header = h;
    return true;
}

bool CDIB::HasAddressableLayout() const {
    const Header& h = m_header;
    const bool plain = h.compression == kCompressionNone ||
                       (h.compression == kCompressionBitFields && (h.bitCount == 16 || h.bitCount == 32));
    if (!plain) return false;
    const uint32_t row = RowBytes(h.width, h.bitCount);
    return row != 0 && ArrayBytes(row, static_cast<uint32_t>(h.height)) != 0;
}

bool CDIB::FitsInBlock(uint32_t size) const {
    const Header& h = m_header;
    const uint64_t paletteEnd = static_cast<uint64_t>(h.paletteOffset) + h.paletteBytes;
    const uint64_t rowsEnd = static_cast<uint64_t>(h.pixelOffset) +
                             static_cast<uint64_t>(RowBytes(h.width, h.bitCount)) * static_cast<uint32_t>(h.height);
    return paletteEnd <= size && h.pixelOffset >= paletteEnd && rowsEnd <= size;
}

bool CDIB::ReadPalette(CInputStream* stream) {
    // Info headers beyond the classic 40 bytes are skipped; the palette follows them.
    stream->Skip(m_header.infoSize - kInfoHeaderSize);
    m_paletteSize = m_header.paletteBytes;
    if (m_paletteSize == 0) return !stream->HasError();
    if (stream->Available() < m_paletteSize) return false;
    m_ownedPalette = static_cast<uint8_t*>(MemAlloc(m_paletteSize));
    if (m_ownedPalette == nullptr) return false;
    stream->Read(m_ownedPalette, m_paletteSize);
    m_palette = m_ownedPalette;
    return !stream->HasError();
}

bool CDIB::ReadRows(CInputStream* stream) {
    const uint64_t pixelStart = static_cast<uint64_t>(m_header.paletteOffset) + m_header.paletteBytes;
    if (m_header.pixelOffset < pixelStart) {
        DebugPrintf("CDIB: pixel data overlaps the palette\n");
        return false;
    }
    stream->Skip(static_cast<uint32_t>(m_header.pixelOffset - pixelStart));
    const uint32_t row = static_cast<uint32_t>(-m_stride);
    const size_t bytes = ArrayBytes(row, static_cast<uint32_t>(m_header.height));
    if (stream->HasError() || stream->Available() < bytes) {
        DebugPrintf("CDIB: pixel rows truncated\n");
        return false;
    }
    m_ownedRows = static_cast<uint8_t*>(MemAlloc(bytes));
    if (m_ownedRows == nullptr) return false;
    stream->Read(m_ownedRows, static_cast<uint32_t>(bytes));
    if (stream->HasError()) return false;
    m_pixels = m_ownedRows + static_cast<size_t>(row) * static_cast<size_t>(m_header.height - 1);
    return true;
}

bool CDIB::ReadFromStream(CInputStream* stream, uint32_t /*resourceType*/) {
    if (stream == nullptr) return false;
    const uint32_t available = stream->Available();
    Release();
    if (available == 0) return false;
    m_ownsBuffers = 1;
    if (!ParseHeader(stream, &m_header) || !HasAddressableLayout()) {
        Release();
        return false;
    }
    m_stride = -static_cast<int32_t>(RowBytes(m_header.width, m_header.bitCount));
    if (!ReadPalette(stream) || !ReadRows(stream)) {
        Release();
        return false;
    }
    return true;
}

void CDIB::Release() {
    if (m_ownsBuffers == 1) {
        MemFree(m_ownedPalette);
        MemFree(m_ownedRows);
    }
    m_ownedPalette = nullptr;
    m_ownedRows = nullptr;
    m_ownsBuffers = 0;
    m_stride = 0;
    m_palette = nullptr;
    m_paletteSize = 0;
    m_pixels = nullptr;
    // An empty object describes no image, so cursors over it read nothing.
    m_header = Header{};
}
