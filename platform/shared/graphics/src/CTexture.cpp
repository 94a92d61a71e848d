#include "CTexture.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CInputStream.h"
#include "CTargaHeader.h"
#include "ICFile.h"
#include "ICFileMgr.h"
#include "PixelFormatLayouts.h"

#include <new>

namespace {

typedef CTexture::Header Header;

// The header's words in stored order.
constexpr uint32_t Header::*kHeaderWords[] = {&Header::format,    &Header::type,      &Header::bitsPerPixel,
                                              &Header::internalFormat, &Header::reserved0, &Header::reserved1,
                                              &Header::width,     &Header::height,    &Header::size};
static_assert(sizeof(kHeaderWords) / sizeof(kHeaderWords[0]) * 4 == CTexture::kHeaderBytes,
              "the header is nine 32-bit words");

uint32_t BytesPerPixel(const CTexture::Header& header) { return header.bitsPerPixel / 8; }

bool IsKnownDepth(uint32_t bits) { return bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// 8-bit channels packed in the layout; any alpha but none sets a one-bit alpha.
template <const PixelLayout& Layout>
uint16_t PackIn(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    const uint32_t alpha = Layout.a.bits == 1 && a != 0 ? 0xFFu : a;
    return static_cast<uint16_t>(Layout.Packed(alpha, r, g, b));
}

}  // namespace

CTexture::CTexture() : CClass(kClassKey) {}

CTexture::CTexture(uint32_t classKey) : CClass(classKey) {}

CTexture::CTexture(const Header& header, const void* pixels, uint32_t rowStride) : CClass(kClassKey) {
    Init(header, pixels, rowStride);
}

CTexture::CTexture(const CTexture& other) : CClass(kClassKey) {
    if (other.m_header != nullptr && other.m_pixels != nullptr) Init(*other.m_header, other.m_pixels, 0);
}

CTexture::~CTexture() {
    if (m_separateHeader != 0) MemFree(m_header);
    MemFreeArray(m_block);
}

void CTexture::Reset() {
    if (m_separateHeader != 0) MemFree(m_header);
    MemFreeArray(m_block);
    m_separateHeader = 0;
    m_block = nullptr;
    m_pixels = nullptr;
    m_header = nullptr;
}

void CTexture::Adopt(uint8_t* block, uint8_t* pixels, Header* header, bool separateHeader) {
    m_block = block;
    m_pixels = pixels;
    m_header = header;
    m_separateHeader = separateHeader ? 1 : 0;
}

// Zero-byte images still get a block, so that "has pixels" and "is loaded"
// stay the same question.
uint8_t* CTexture::AllocateBlock(uint64_t bytes) {
    if (bytes > 0xFFFFFFFEu) return nullptr;
    return static_cast<uint8_t*>(MemAllocArray(bytes != 0 ? static_cast<size_t>(bytes) : 1));
}

// A pixel count beyond 32 bits can never fit a block, and multiplying it by
// the pixel size could wrap even 64 bits: it saturates instead.
uint64_t CTexture::PixelBytes(const Header& header) {
    const uint64_t pixels = static_cast<uint64_t>(header.width) * header.height;
    if (pixels > 0xFFFFFFFFu) return UINT64_MAX;
    return pixels * BytesPerPixel(header);
}

bool CTexture::Create(const Header& header, const void* pixels, uint32_t rowStride) {
    Reset();
    return Init(header, pixels, rowStride);
}

bool CTexture::IsConsistent(const Header& header) {
    if (IsKnownDepth(header.bitsPerPixel) && PixelBytes(header) <= header.size) return true;
    DebugPrintf("CTexture: %ux%u at %u bits does not fit %u bytes", header.width, header.height, header.bitsPerPixel,
                header.size);
    return false;
}

bool CTexture::Init(const Header& header, const void* pixels, uint32_t rowStride) {
    if (!IsConsistent(header)) return false;
    uint8_t* block = AllocateBlock(static_cast<uint64_t>(header.size) + kHeaderBytes);
    ASSERT(block != nullptr);
    if (block == nullptr) return false;
    Adopt(block, block + kHeaderBytes, new (block) Header(header), false);
    if (pixels == nullptr) {
        MemSet(m_pixels, 0, header.size);
    } else if (rowStride != 0) {
        const uint32_t rowBytes = header.width * BytesPerPixel(header);
        const uint8_t* source = static_cast<const uint8_t*>(pixels);
        for (uint32_t row = 0; row < header.height; ++row) {
            MemCopy(m_pixels + static_cast<size_t>(row) * rowBytes, source + static_cast<size_t>(row) * rowStride,
                    rowBytes);
        }
    } else {
        MemCopy(m_pixels, pixels, header.size);
    }
    return true;
}

uint32_t CTexture::GetWidth() const {
    ASSERT(m_header != nullptr);
    return m_header != nullptr ? m_header->width : 0;
}

uint32_t CTexture::GetHeight() const {
    ASSERT(m_header != nullptr);
    return m_header != nullptr ? m_header->height : 0;
}

uint32_t CTexture::GetDataSize() const {
    ASSERT(m_header != nullptr);
    return m_header != nullptr ? m_header->size : 0;
}

void CTexture::ReadHeader(CInputStream& stream, Header& header) {
    for (const auto word : kHeaderWords) header.*word = stream.ReadUInt32();
}

void CTexture::EncodeHeader(const Header& header, uint8_t out[kHeaderBytes]) {
    for (const auto word : kHeaderWords) {
        for (uint32_t b = 0; b < 4; ++b) *out++ = static_cast<uint8_t>(header.*word >> (8 * b));
    }
}

bool CTexture::LoadTGA(CInputStream& stream, uint32_t type) {
    const uint32_t available = stream.Available();
    Reset();
    if (available == 0) return false;
    const bool loaded =
        type == kTargaTypeKey ? LoadTargaImage(stream, available) : LoadTextureBlock(stream, available);
    if (!loaded) Reset();
    return loaded;
}

bool CTexture::LoadTargaImage(CInputStream& stream, uint32_t available) {
    CTargaHeader targa;
    if (!targa.Read(stream) || !targa.IsLoadable(available - CTargaHeader::kBytes, "CTexture")) return false;
    const uint32_t imageBytes = targa.GetImageBytes();
    uint8_t* block = AllocateBlock(imageBytes);
    ASSERT(block != nullptr);
    if (block == nullptr) return false;
    Header* header = static_cast<Header*>(MemAlloc(sizeof(Header)));
    if (header == nullptr) {
        MemFreeArray(block);
        return false;
    }
    Adopt(block, block, new (header) Header(), true);
    if (!targa.ReadPixels(stream, block, imageBytes)) {
        DebugPrintf("CTexture: Targa pixel data is short");
        return false;
    }
    targa.Describe(*m_header);
    return true;
}

// The block keeps everything the stream had, so its pixels must lie within
// what was really there.
bool CTexture::LoadTextureBlock(CInputStream& stream, uint32_t available) {
    if (available < kHeaderBytes) {
        DebugPrintf("CTexture: texture block of %u bytes has no header", available);
        return false;
    }
    uint8_t* block = AllocateBlock(available);
    ASSERT(block != nullptr);
    if (block == nullptr) return false;
    Adopt(block, block + kHeaderBytes, new (block) Header(), false);
    ReadHeader(stream, *m_header);
    const uint32_t size = m_header->size;
    if (stream.HasError() || !IsConsistent(*m_header)) return false;
    if (size > available - kHeaderBytes) {
        DebugPrintf("CTexture: texture block of %u bytes is short of its %u pixel bytes", available, size);
        return false;
    }
    stream.Read(m_pixels, size);
    return !stream.HasError();
}

bool CTexture::WriteFile(const WChar* path, const uint8_t* head, uint32_t headBytes, const uint8_t* body,
                         uint32_t bodyBytes) {
    ICFileMgr* files = GetFileMgr();
    ICFile* file = files != nullptr ? files->Open(path, ICFileMgr::kWrite) : nullptr;
    if (file == nullptr) return false;
    const bool headWritten = file->Write(head, headBytes) == headBytes;
    const bool bodyWritten = headWritten && file->Write(body, bodyBytes) == bodyBytes;
    // A close that reports an error may have lost the last bytes.
    const bool closed = files->Close(file);
    return bodyWritten && closed;
}

bool CTexture::Save(const WChar* path) const {
    ASSERT(m_header != nullptr && m_pixels != nullptr);
    if (m_header == nullptr || m_pixels == nullptr) return false;
    uint8_t head[kHeaderBytes];
    EncodeHeader(*m_header, head);
    return WriteFile(path, head, kHeaderBytes, m_pixels, m_header->size);
}

// Empty rectangles copy nothing and need no walk over their rows.
bool CTexture::IsSubRectInside(int32_t x, int32_t y, int32_t w, int32_t h) const {
    ASSERT(m_header != nullptr && m_pixels != nullptr);
    if (m_header == nullptr || m_pixels == nullptr) return false;
    if (x < 0 || y < 0 || w < 1 || h < 1) return false;
    return static_cast<uint64_t>(x) + static_cast<uint64_t>(w) <= m_header->width &&
           static_cast<uint64_t>(y) + static_cast<uint64_t>(h) <= m_header->height;
}

bool CTexture::SetSubImage(int32_t x, int32_t y, int32_t w, int32_t h, const void* src, uint32_t srcStride) {
    if (!IsSubRectInside(x, y, w, h)) return false;
    const size_t pixelBytes = BytesPerPixel(*m_header);
    const size_t rowBytes = static_cast<size_t>(w) * pixelBytes;
    const size_t imageRow = static_cast<size_t>(m_header->width) * pixelBytes;
    const size_t sourceStep = srcStride != 0 ? srcStride : rowBytes;
    const uint8_t* source = static_cast<const uint8_t*>(src);
    uint8_t* target = m_pixels + static_cast<size_t>(y) * imageRow + static_cast<size_t>(x) * pixelBytes;
    for (int32_t row = 0; row < h; ++row) MemCopy(target + row * imageRow, source + row * sourceStep, rowBytes);
    return true;
}

bool CTexture::GetSubImage(int32_t x, int32_t y, int32_t w, int32_t h, void* dst, uint32_t dstStride) const {
    if (!IsSubRectInside(x, y, w, h)) return false;
    const size_t pixelBytes = BytesPerPixel(*m_header);
    const size_t rowBytes = static_cast<size_t>(w) * pixelBytes;
    const size_t imageRow = static_cast<size_t>(m_header->width) * pixelBytes;
    const size_t targetStep = dstStride != 0 ? dstStride : rowBytes;
    const uint8_t* source = m_pixels + static_cast<size_t>(y) * imageRow + static_cast<size_t>(x) * pixelBytes;
    uint8_t* target = static_cast<uint8_t*>(dst);
    for (int32_t row = 0; row < h; ++row) MemCopy(target + row * targetStep, source + row * imageRow, rowBytes);
    return true;
}

uint32_t CTexture::ByteImageStep() const {
    if (m_header == nullptr || m_pixels == nullptr) return 0;
    if (m_header->bitsPerPixel == 24) return 3;
    if (m_header->bitsPerPixel == 32) return 4;
    return 0;
}

bool CTexture::SwapChannels(uint32_t first, uint32_t second, bool otherDepthsResult) {
    if (m_header == nullptr) return false;
    const uint32_t step = ByteImageStep();
    if (step == 0) return otherDepthsResult;
    const size_t pixels = static_cast<size_t>(m_header->width) * m_header->height;
    for (size_t i = 0; i < pixels; ++i) {
        uint8_t* pixel = m_pixels + i * step;
        const uint8_t kept = pixel[first];
        pixel[first] = pixel[second];
        pixel[second] = kept;
    }
    return true;
}

bool CTexture::SwapBytes01() { return SwapChannels(0, 1, false); }

bool CTexture::SwapRedBlue() { return SwapChannels(0, 2, false); }

bool CTexture::SwapBytes12() { return SwapChannels(1, 2, true); }

bool CTexture::RotateBytes() {
    if (m_header == nullptr) return false;
    const uint32_t step = ByteImageStep();
    if (step == 0) return true;
    const size_t pixels = static_cast<size_t>(m_header->width) * m_header->height;
    for (size_t i = 0; i < pixels; ++i) {
        uint8_t* pixel = m_pixels + i * step;
        const uint8_t b0 = pixel[0];
        const uint8_t b1 = pixel[1];
        pixel[0] = pixel[2];
        pixel[1] = b0;
        pixel[2] = b1;
    }
    return true;
}

bool CTexture::ConvertTo16(uint32_t format, uint32_t type, PackPixel pack) {
    const uint32_t step = ByteImageStep();
    if (step == 0 || (m_header->format != kFormatRGB && m_header->format != kFormatRGBA) ||
        m_header->type != kTypeUnsignedByte) {
        return false;
    }
    CTexture original(*this);
    if (original.m_header == nullptr) return false;
    const uint64_t pixels = static_cast<uint64_t>(m_header->width) * m_header->height;
    uint8_t* block = AllocateBlock(pixels * 2 + kHeaderBytes);
    ASSERT(block != nullptr);
    if (block == nullptr) return false;
    Reset();
    Adopt(block, block + kHeaderBytes, new (block) Header(*original.m_header), false);
    m_header->format = format;
    m_header->internalFormat = format;
    m_header->type = type;
    m_header->bitsPerPixel = 16;
    m_header->size = static_cast<uint32_t>(pixels * 2);
    for (uint64_t i = 0; i < pixels; ++i) {
        const uint8_t* source = original.m_pixels + i * step;
        const uint32_t alpha = step == 4 ? source[3] : 255u;
        const uint16_t value = pack(source[2], source[1], source[0], alpha);
        m_pixels[i * 2] = static_cast<uint8_t>(value);
        m_pixels[i * 2 + 1] = static_cast<uint8_t>(value >> 8);
    }
    return true;
}

bool CTexture::ConvertTo565() { return ConvertTo16(kFormatRGB, kTypeR5G6B5, PackIn<pixel_layout::Of(RSBFormat_R5G6B5)>); }

bool CTexture::ConvertToA1R5G5B5() {
    return ConvertTo16(kFormatRGBA, kTypeA1R5G5B5, PackIn<pixel_layout::Of(RSBFormat_A1R5G5B5)>);
}

bool CTexture::ConvertToR5G5B5A1() { return ConvertTo16(kFormatRGBA, kTypeR5G5B5A1, PackIn<pixel_layout::kR5G5B5A1>); }

bool CTexture::ConvertToR4G4B4A4() { return ConvertTo16(kFormatRGBA, kTypeR4G4B4A4, PackIn<pixel_layout::kR4G4B4A4>); }

bool CTexture::ConvertToA4R4G4B4() {
    return ConvertTo16(kFormatRGBA, kTypeA4R4G4B4, PackIn<pixel_layout::Of(RSBFormat_A4R4G4B4)>);
}
