#include "CGraphicFont.h"

#include "CArrayInputStream.h"
#include "CAssert.h"
#include "CGraphics2d_Lite.h"
#include "CRect.h"
#include "CRenderSurface.h"
#include "WideStr.h"

namespace {

constexpr uint32_t kVersion1GlyphBytes = 12;
constexpr uint32_t kVersion2GlyphBytes = 10;
constexpr uint32_t kVersion1AdvanceBytes = 4;
constexpr uint32_t kVersion2AdvanceBytes = 2;

int8_t SignedByte(uint8_t b) { return static_cast<int8_t>(b); }

// Glyphs handed to the renderer in one call.
constexpr int32_t kGlyphBatch = 32;

// Taken anew by every load of font data, so that no two layouts share one.
uint64_t NextLayoutSerial() {
    static uint64_t last = 0;
    return ++last;
}

int32_t ClampToRange(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : (value > high ? high : value);
}

}  // namespace

CGraphicFont::~CGraphicFont() { ReleaseData(); }

void CGraphicFont::SetImage(CRenderSurface* image) {
    ASSERT(image != nullptr);
    m_image = image;
}

void CGraphicFont::ReleaseData() {
    MemFree(m_header);
    MemFreeArray(m_glyphs);
    MemFreeArray(m_advanceOnly);
    m_header = nullptr;
    m_glyphs = nullptr;
    m_advanceOnly = nullptr;
    MemSet(m_directAdvanceOnly, 0, sizeof m_directAdvanceOnly);
    MemSet(m_directGlyph, 0, sizeof m_directGlyph);
}

int32_t CGraphicFont::GetGlyphCount() const {
    const int16_t count = static_cast<int16_t>(m_header[8] | m_header[9] << 8);
    return count > 0 ? count : 0;
}

int32_t CGraphicFont::GetAdvanceOnlyCount() const {
    const int16_t count = static_cast<int16_t>(m_header[10] | m_header[11] << 8);
    return count > 0 ? count : 0;
}

int32_t CGraphicFont::GetHeight() const {
    ASSERT(m_header != nullptr);
    return m_header != nullptr ? SignedByte(m_header[5]) + SignedByte(m_header[7]) : 0;
}

int32_t CGraphicFont::GetAscent() const { return m_header != nullptr ? SignedByte(m_header[7]) : 0; }

int32_t CGraphicFont::GetDescent() const { return m_header != nullptr ? SignedByte(m_header[5]) : 0; }

int32_t CGraphicFont::GetSpacing() const { return m_header != nullptr ? SignedByte(m_header[6]) : 0; }

bool CGraphicFont::IsHeaderValid(uint32_t size) const {
    if (size < kHeaderBytes) {
        DebugPrintf("CGraphicFont: font data of %u bytes has no header", size);
        return false;
    }
    if ((GetVersion() != 1 && GetVersion() != 2) || m_header[1] != 0 || m_header[2] != 0) {
        DebugPrintf("CGraphicFont: font data version %u (%u, %u) is not supported", m_header[0], m_header[1],
                    m_header[2]);
        return false;
    }
    return true;
}

bool CGraphicFont::AllocateTables() {
    if (GetGlyphCount() > 0) {
        m_glyphs = static_cast<Glyph*>(MemAllocArrayOf(GetGlyphCount(), sizeof(Glyph)));
        if (m_glyphs == nullptr) return false;
    }
    if (GetAdvanceOnlyCount() > 0) {
        m_advanceOnly = static_cast<AdvanceOnly*>(MemAllocArrayOf(GetAdvanceOnlyCount(), sizeof(AdvanceOnly)));
        if (m_advanceOnly == nullptr) return false;
    }
    return true;
}

bool CGraphicFont::LoadFontData(const uint8_t* data, uint32_t size) {
    ASSERT(data != nullptr);
    ReleaseData();
    m_layoutSerial = NextLayoutSerial();
    if (data == nullptr) return false;
    m_header = static_cast<uint8_t*>(MemAlloc(kHeaderBytes));
    if (m_header == nullptr) return false;
    MemCopy(m_header, data, size < kHeaderBytes ? size : kHeaderBytes);
    if (!IsHeaderValid(size) || !AllocateTables()) {
        ReleaseData();
        return false;
    }
    const int32_t largest = GetGlyphCount() > GetAdvanceOnlyCount() ? GetGlyphCount() : GetAdvanceOnlyCount();
    const uint32_t capacity = static_cast<uint32_t>(largest) + 1;
    WChar* codes = static_cast<WChar*>(MemAllocArrayOf(capacity, sizeof(WChar)));
    if (codes == nullptr) {
        ReleaseData();
        return false;
    }
    MemSet(codes, 0, capacity * sizeof(WChar));
    CArrayInputStream stream;
    stream.Open(data + kHeaderBytes, size - kHeaderBytes);
    const bool complete = ReadGlyphs(stream, codes, capacity) && ReadAdvanceOnly(stream, codes, capacity);
    stream.Close();
    MemFreeArray(codes);
    if (!complete) {
        DebugPrintf("CGraphicFont: font data of %u bytes is short or inconsistent", size);
        ReleaseData();
        return false;
    }
    IndexDirectCodes();
    return true;
}

// Checked before reading: the stream reports a read past its end as a
// programming error, and a code string shorter than its table would leave
// records without codes.
bool CGraphicFont::ReadCodes(CArrayInputStream& stream, int32_t count, WChar* codes, uint32_t capacity) const {
    if (stream.Available() < 2) return false;
    const int32_t decoded = stream.ReadUTF(codes, capacity);
    return !stream.HasError() && decoded >= count;
}

bool CGraphicFont::ReadGlyphs(CArrayInputStream& stream, WChar* codes, uint32_t capacity) {
    const int32_t count = GetGlyphCount();
    if (count == 0) return true;
    const bool version2 = GetVersion() == 2;
    if (version2 && !ReadCodes(stream, count, codes, capacity)) return false;
    const uint32_t recordBytes = version2 ? kVersion2GlyphBytes : kVersion1GlyphBytes;
    if (stream.Available() / recordBytes < static_cast<uint32_t>(count)) return false;
    for (int32_t i = 0; i < count; ++i) {
        Glyph& glyph = m_glyphs[i];
        glyph.code = version2 ? static_cast<int16_t>(codes[i]) : stream.ReadInt16();
        glyph.x = stream.ReadInt16();
        glyph.y = stream.ReadInt16();
        glyph.width = stream.ReadInt8();
        glyph.height = stream.ReadInt8();
        glyph.xOffset = stream.ReadInt8();
        glyph.yOffset = stream.ReadInt8();
        glyph.advance = stream.ReadInt8();
        glyph.spare = stream.ReadInt8();
    }
    return !stream.HasError();
}

bool CGraphicFont::ReadAdvanceOnly(CArrayInputStream& stream, WChar* codes, uint32_t capacity) {
    const int32_t count = GetAdvanceOnlyCount();
    if (count == 0) return true;
    const bool version2 = GetVersion() == 2;
    if (version2 && !ReadCodes(stream, count, codes, capacity)) return false;
    const uint32_t recordBytes = version2 ? kVersion2AdvanceBytes : kVersion1AdvanceBytes;
    if (stream.Available() / recordBytes < static_cast<uint32_t>(count)) return false;
    for (int32_t i = 0; i < count; ++i) {
        AdvanceOnly& entry = m_advanceOnly[i];
        entry.code = version2 ? static_cast<int16_t>(codes[i]) : stream.ReadInt16();
        entry.spare = stream.ReadInt8();
        entry.advance = stream.ReadInt8();
    }
    return !stream.HasError();
}

// Codes are signed 16-bit, characters unsigned: a code of 0x8000 or more
// compares below every character and is never found.
const CGraphicFont::Glyph* CGraphicFont::FindGlyph(WChar c) const {
    ASSERT(m_header != nullptr);
    if (m_header == nullptr || GetGlyphCount() < 1 || m_glyphs == nullptr) return nullptr;
    const int32_t wanted = c;
    int32_t low = 0;
    int32_t high = GetGlyphCount() - 1;
    while (low <= high) {
        const int32_t middle = (low + high) / 2;
        const int32_t code = m_glyphs[middle].code;
        if (wanted == code) return &m_glyphs[middle];
        if (wanted < code) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return nullptr;
}

const CGraphicFont::AdvanceOnly* CGraphicFont::FindAdvanceOnly(WChar c) const {
    ASSERT(m_header != nullptr);
    if (m_header == nullptr || GetAdvanceOnlyCount() < 1 || m_advanceOnly == nullptr) return nullptr;
    const int32_t wanted = c;
    for (int32_t i = 0; i < GetAdvanceOnlyCount(); ++i) {
        if (m_advanceOnly[i].code == wanted) return &m_advanceOnly[i];
    }
    return nullptr;
}

void CGraphicFont::IndexDirectCodes() {
    for (uint32_t code = 0; code < kDirectCodes; ++code) {
        const AdvanceOnly* advanceOnly = FindAdvanceOnly(static_cast<WChar>(code));
        const Glyph* glyph = advanceOnly == nullptr ? FindGlyph(static_cast<WChar>(code)) : nullptr;
        m_directAdvanceOnly[code] = advanceOnly != nullptr ? static_cast<uint16_t>(advanceOnly - m_advanceOnly + 1) : 0;
        m_directGlyph[code] = glyph != nullptr ? static_cast<uint16_t>(glyph - m_glyphs + 1) : 0;
    }
}

CGraphicFont::CharEntry CGraphicFont::FindChar(WChar c) const {
    if (c < kDirectCodes) {
        const uint16_t advanceOnly = m_directAdvanceOnly[c];
        const uint16_t glyph = m_directGlyph[c];
        return {advanceOnly != 0 ? &m_advanceOnly[advanceOnly - 1] : nullptr, glyph != 0 ? &m_glyphs[glyph - 1] : nullptr};
    }
    const AdvanceOnly* advanceOnly = FindAdvanceOnly(c);
    return {advanceOnly, advanceOnly == nullptr ? FindGlyph(c) : nullptr};
}

int32_t CGraphicFont::GetCharWidth(WChar c) const {
    ASSERT(m_header != nullptr);
    return m_header != nullptr ? AdvanceOf(c) : 0;
}

int32_t CGraphicFont::AdvanceOf(WChar c) const {
    const CharEntry entry = FindChar(c);
    if (entry.advanceOnly != nullptr) return entry.advanceOnly->advance;
    return entry.glyph != nullptr ? entry.glyph->advance : 0;
}

int32_t CGraphicFont::GetStringWidth(const WChar* text, int32_t length, int32_t maxWidth, int32_t* fitCount) const {
    ASSERT(text != nullptr);
    ASSERT(m_header != nullptr);
    int32_t total = 0;
    int32_t fitting = 0;
    if (text != nullptr && m_header != nullptr) {
        const int32_t count = length < 0 ? static_cast<int32_t>(WideStrLen(text)) : length;
        const int32_t spacing = GetSpacing();
        for (; fitting < count; ++fitting) {
            const int32_t width = AdvanceOf(text[fitting]);
            const int32_t step = width + spacing;
            if (maxWidth >= 0 && (width > step ? width : step) > maxWidth - total) break;
            total += step;
        }
        if (fitting >= 1) total -= spacing;
    }
    if (fitCount != nullptr) *fitCount = fitting;
    return total;
}

bool CGraphicFont::PlaceGlyph(const Glyph& glyph, int32_t x, int32_t y, int32_t pen, int32_t maxWidth,
                              int32_t maxHeight, CGraphics2d_Lite::ImagePiece* piece) {
    int32_t width = glyph.width;
    if (maxWidth >= 0) width = ClampToRange(maxWidth - pen - glyph.xOffset, 0, width);
    int32_t height = glyph.height;
    if (maxHeight >= 0) height = ClampToRange(maxHeight - glyph.yOffset, 0, height);
    if (width <= 0 || height <= 0) return false;
    piece->source.Set(glyph.x, glyph.y, static_cast<int16_t>(width), static_cast<int16_t>(height));
    piece->x = x + pen + glyph.xOffset;
    piece->y = y + glyph.yOffset;
    return true;
}

// The glyphs go to the renderer in batches of pieces, each drawn as a
// single image would be at the current translation.
// While the renderer digests its calls, the run is digested as its text
// and this load of the font, which decide every glyph piece, instead of
// being laid out for a rehearsal that draws nothing.
void CGraphicFont::DrawString(const WChar* text, int32_t length, int32_t x, int32_t y, int32_t maxWidth,
                              int32_t maxHeight) const {
    ASSERT(text != nullptr);
    ASSERT(m_image != nullptr);
    ASSERT(m_header != nullptr);
    if (text == nullptr || m_image == nullptr || m_header == nullptr) return;
    CGraphics2d_Lite* renderer = CGraphics2d_Lite::GetInstance();
    if (renderer == nullptr) return;
    const int32_t count = length < 0 ? static_cast<int32_t>(WideStrLen(text)) : length;
    if (!renderer->IsHashingCalls()) {
        DrawGlyphs(*renderer, text, count, x, y, maxWidth, maxHeight);
        return;
    }
    const size_t bytes = count > 0 ? sizeof(WChar) * static_cast<size_t>(count) : 0;
    const CGraphics2d_Lite::TextRun run{m_layoutSerial, text, bytes, x, y, maxWidth, maxHeight};
    if (!renderer->TakeText(m_image, run)) return;
    const CDrawCallHash::Mode mode = renderer->PauseCallHash();
    DrawGlyphs(*renderer, text, count, x, y, maxWidth, maxHeight);
    renderer->ResumeCallHash(mode);
}

void CGraphicFont::DrawGlyphs(CGraphics2d_Lite& renderer, const WChar* text, int32_t count, int32_t x, int32_t y,
                              int32_t maxWidth, int32_t maxHeight) const {
    const int32_t spacing = GetSpacing();
    CGraphics2d_Lite::ImagePiece pieces[kGlyphBatch];
    int32_t batched = 0;
    int32_t pen = 0;
    for (int32_t i = 0; i < count; ++i) {
        const CharEntry entry = FindChar(text[i]);
        if (entry.advanceOnly != nullptr) {
            pen += spacing + entry.advanceOnly->advance;
        } else if (entry.glyph != nullptr) {
            if (PlaceGlyph(*entry.glyph, x, y, pen, maxWidth, maxHeight, &pieces[batched]) &&
                ++batched == kGlyphBatch) {
                renderer.DrawImagePieces(m_image, 0, pieces, batched);
                batched = 0;
            }
            pen += spacing + entry.glyph->advance;
        }
    }
    if (batched > 0) renderer.DrawImagePieces(m_image, 0, pieces, batched);
}
