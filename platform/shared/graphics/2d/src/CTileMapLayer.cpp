#include "CTileMapLayer.h"

#include "CAssert.h"
#include "CGraphics2d_Lite.h"
#include "CMathFixed.h"
#include "CRenderSurface.h"

namespace {

// Tile sides must fit the 16-bit source rectangle of the image draw.
constexpr int32_t kLargestTileSide = 0x7FFF;

// Results of WrapIndex besides a grid index.
constexpr int32_t kNoCell = -1;
constexpr int32_t kPastGrid = -2;

int32_t FloorDiv(int32_t value, int32_t divisor) {
    const int32_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

int32_t PositiveMod(int32_t value, int32_t divisor) {
    const int32_t rest = value % divisor;
    return rest < 0 ? rest + divisor : rest;
}

int32_t ToFixed(int32_t pixels) { return static_cast<int32_t>(static_cast<uint32_t>(pixels) << 16); }

int32_t CeilDiv(int32_t value, int32_t divisor) { return value <= 0 ? 0 : (value + divisor - 1) / divisor; }

}  // namespace

CTileMapLayer::~CTileMapLayer() { MemFreeArray(m_imageOrigins); }

bool CTileMapLayer::BuildImageOrigins(uint32_t sheetWidth, uint32_t sheetHeight) {
    const int32_t sheetColumns = static_cast<int32_t>(sheetWidth / static_cast<uint32_t>(m_tileWidth));
    const int32_t sheetRows = static_cast<int32_t>(sheetHeight / static_cast<uint32_t>(m_tileHeight));
    const int64_t count = static_cast<int64_t>(sheetColumns) * sheetRows;
    ImageOrigin* origins = static_cast<ImageOrigin*>(MemAllocArrayOf(static_cast<size_t>(count), sizeof(ImageOrigin)));
    ASSERT(origins != nullptr || count == 0);
    if (origins == nullptr && count != 0) return false;
    for (int64_t m = 0; m < count; ++m) {
        origins[m].x = static_cast<uint16_t>((m % sheetColumns) * m_tileWidth);
        origins[m].y = static_cast<uint16_t>((m / sheetColumns) * m_tileHeight);
    }
    MemFreeArray(m_imageOrigins);
    m_imageOrigins = origins;
    m_imageCount = static_cast<int32_t>(count);
    m_sheetColumns = sheetColumns;
    m_sheetRows = sheetRows;
    return true;
}

bool CTileMapLayer::Load(CRenderSurface* sheet, int32_t tileWidth, int32_t tileHeight, int32_t radiusFactor,
                         int16_t* cells, int32_t columns, int32_t rows, const TileRecord* tiles, int32_t tileCount,
                         AnimationRecord* animations, int32_t animationCount, const int16_t* frames,
                         int32_t frameCount) {
    ASSERT(sheet != nullptr && cells != nullptr && tiles != nullptr);
    uint32_t sheetWidth = 0;
    uint32_t sheetHeight = 0;
    if (sheet == nullptr || cells == nullptr || tiles == nullptr || !sheet->GetSize(&sheetWidth, &sheetHeight)) {
        return false;
    }
    if (tileWidth < 1 || tileHeight < 1 || tileWidth > kLargestTileSide || tileHeight > kLargestTileSide ||
        columns < 0 || rows < 0 || static_cast<int64_t>(columns) * tileWidth > INT32_MAX ||
        static_cast<int64_t>(rows) * tileHeight > INT32_MAX) {
        DebugPrintf("CTileMapLayer: tiles of %ix%i over %ix%i cells refused", tileWidth, tileHeight, columns, rows);
        return false;
    }
    m_tileWidth = tileWidth;
    m_tileHeight = tileHeight;
    if (!BuildImageOrigins(sheetWidth, sheetHeight)) return false;
    m_sheet = sheet;
    m_sourceRect.Set(0, 0, static_cast<int16_t>(tileWidth), static_cast<int16_t>(tileHeight));
    m_solidRadius = (tileWidth > tileHeight ? tileWidth : tileHeight) * radiusFactor;
    m_halfWidth = tileWidth / 2 + (tileWidth & 1);
    m_halfHeight = tileHeight / 2 + (tileHeight & 1);
    m_stepLength = ToFixed(m_halfWidth < m_halfHeight ? m_halfWidth : m_halfHeight);
    m_cells = cells;
    m_columns = columns;
    m_rows = rows;
    m_pixelWidth = columns * tileWidth;
    m_pixelHeight = rows * tileHeight;
    m_tiles = tiles;
    m_tileCount = tileCount;
    m_animations = animations;
    m_animationCount = animations != nullptr ? animationCount : 0;
    m_frames = frames;
    m_frameCount = frames != nullptr ? frameCount : 0;
    m_animationPeriod = kDefaultAnimationPeriod;
    m_accumulator = 0;
    m_drawHook = nullptr;
    m_drawHookData = 0;
    return true;
}

void CTileMapLayer::SetAnimationPeriod(int32_t period) {
    m_animationPeriod = period;
    m_accumulator = 0;
}

void CTileMapLayer::SetScrollFactors(int32_t factorX, int32_t factorY) {
    m_scrollFactorX = factorX;
    m_scrollFactorY = factorY;
}

void CTileMapLayer::SetDrawHook(DrawHook hook, uintptr_t userData) {
    m_drawHook = hook;
    m_drawHookData = userData;
}

bool CTileMapLayer::IsInsideGrid(int32_t column, int32_t row) const {
    return m_cells != nullptr && column >= 0 && row >= 0 && column < m_columns && row < m_rows;
}

CTileMapLayer::AnimationRecord* CTileMapLayer::GetAnimation(int32_t animation) const {
    ASSERT(animation < m_animationCount);
    if (animation < 0 || animation >= m_animationCount) return nullptr;
    return &m_animations[animation];
}

int16_t CTileMapLayer::GetAnimatedTile(int32_t animation) const {
    const AnimationRecord* record = GetAnimation(animation);
    if (record == nullptr || record->current < 0 || record->current >= m_frameCount) return 0;
    return m_frames[record->current];
}

int16_t CTileMapLayer::GetTileAt(int32_t column, int32_t row) const {
    if (!IsInsideGrid(column, row)) return 0;
    const int16_t cell = m_cells[static_cast<size_t>(row) * m_columns + column];
    return cell >= 0 ? cell : GetAnimatedTile(-static_cast<int32_t>(cell));
}

const CTileMapLayer::TileRecord* CTileMapLayer::GetTileRecordAt(int32_t column, int32_t row) const {
    const int32_t tile = GetTileAt(column, row);
    return IsValidTile(tile) ? &m_tiles[tile] : nullptr;
}

void CTileMapLayer::SetCell(int32_t column, int32_t row, int32_t value) {
    if (!IsInsideGrid(column, row)) return;
    int16_t& cell = m_cells[static_cast<size_t>(row) * m_columns + column];
    if (value > INT16_MAX || value < INT16_MIN) return;
    if (value >= 0 && value < m_tileCount) {
        cell = static_cast<int16_t>(value);
    } else if (value < 0 && -value < m_animationCount) {
        cell = static_cast<int16_t>(value);
        ResetAnimation(-value);
    }
}

void CTileMapLayer::ResetAnimation(int32_t animation) {
    AnimationRecord* record = GetAnimation(animation);
    if (record == nullptr) return;
    switch (record->mode) {
        case kModeLoopBackward:
        case kModePingPongBackward:
            record->current = record->end - 1;
            break;
        case kModeStop:
        case kModeLoopForward:
        case kModeOnceThenFirst:
        case kModeOnceThenHold:
        case kModePingPongForward:
            record->current = record->first;
            break;
        default:
            break;
    }
    record->countdown = static_cast<int8_t>(record->delay);
}

void CTileMapLayer::StepAnimation(AnimationRecord& record) const {
    const int32_t last = record.end - 1;
    switch (record.mode) {
        case kModeLoopForward:
            record.current = record.current + 1 > last ? record.first : record.current + 1;
            break;
        case kModeLoopBackward:
            record.current = record.current - 1 < record.first ? last : record.current - 1;
            break;
        case kModeOnceThenFirst:
            if (record.current >= last) {
                record.current = record.first;
                record.countdown = kStopped;
            } else {
                ++record.current;
            }
            break;
        case kModeOnceThenHold:
            if (record.current < last) ++record.current;
            break;
        case kModePingPongForward:
            if (++record.current > last) {
                record.current = last;
                record.mode = kModePingPongBackward;
            }
            break;
        case kModePingPongBackward:
            if (--record.current < record.first) {
                record.current = record.first;
                record.mode = kModePingPongForward;
            }
            break;
        default:
            record.countdown = kStopped;
            break;
    }
}

// One accumulator serves every record: each record adds the elapsed time to
// what the records before it left, then takes whole periods from it.
void CTileMapLayer::UpdateAnimations(int32_t elapsed) {
    if (m_animations == nullptr || m_animationPeriod < 1) return;
    for (int32_t k = 1; k < m_animationCount; ++k) {
        AnimationRecord& record = m_animations[k];
        m_accumulator += elapsed;
        while (m_accumulator >= m_animationPeriod && record.countdown != kStopped) {
            m_accumulator -= m_animationPeriod;
            record.countdown = static_cast<int8_t>(record.countdown - 1);
            if (record.countdown >= 1) continue;
            StepAnimation(record);
            if (record.countdown != kStopped) record.countdown = static_cast<int8_t>(record.delay);
        }
    }
}

bool CTileMapLayer::ToLayerPosition(int32_t x, int32_t y, int32_t* layerX, int32_t* layerY) const {
    *layerX = FixedMul(x, m_scrollFactorX);
    *layerY = FixedMul(y, m_scrollFactorY);
    if (m_wrap == 0) return true;
    if (m_pixelWidth <= 0 || m_pixelHeight <= 0) return false;
    *layerX = PositiveMod(*layerX, m_pixelWidth);
    *layerY = PositiveMod(*layerY, m_pixelHeight);
    return true;
}

int32_t CTileMapLayer::WrapIndex(int32_t index, int32_t size) const {
    if (m_wrap != 0) return size > 0 ? PositiveMod(index, size) : kPastGrid;
    if (index < 0) return kNoCell;
    return index < size ? index : kPastGrid;
}

// Rows and columns that run past the grid end the drawing (or, with wrap,
// start again at 0); those before it are skipped, so no cell outside the
// grid is ever read.
void CTileMapLayer::Draw(const CRect& viewRect, int32_t scrollX, int32_t scrollY, uint32_t passMask) {
    ASSERT(scrollX >= 0 && scrollY >= 0);
    m_renderer = CGraphics2d_Lite::GetInstance();
    ASSERT(m_renderer != nullptr);
    if (m_renderer == nullptr || m_cells == nullptr) return;
    m_renderer->PushMatrix();
    int32_t px = 0;
    int32_t py = 0;
    if (ToLayerPosition(scrollX, scrollY, &px, &py)) {
        const int32_t columnsToDraw = CeilDiv(viewRect.width, m_tileWidth);
        const int32_t rowsToDraw = CeilDiv(viewRect.height, m_tileHeight);
        const int32_t firstColumn = FloorDiv(px, m_tileWidth);
        const int32_t firstRow = FloorDiv(py, m_tileHeight);
        const int32_t x0 = -(px - firstColumn * m_tileWidth);
        int32_t y = -(py - firstRow * m_tileHeight);
        if ((passMask & kPassOverlay) != 0 && m_drawHook != nullptr) {
            CRect scrollRect;
            scrollRect.SetFromInts(scrollX, scrollY, viewRect.width, viewRect.height);
            m_drawHook(m_index, viewRect, scrollRect, 0, 0, m_drawHookData);
        }
        for (int32_t i = 0; i <= rowsToDraw; ++i, y += m_tileHeight) {
            const int32_t row = WrapIndex(firstRow + i, m_rows);
            if (row == kPastGrid) break;
            if (row != kNoCell) DrawRow(row, firstColumn, columnsToDraw, x0, y, passMask);
        }
    }
    m_renderer->PopMatrix();
}

void CTileMapLayer::DrawRow(int32_t row, int32_t firstColumn, int32_t columnsToDraw, int32_t x0, int32_t y,
                            uint32_t passMask) {
    int32_t x = x0;
    for (int32_t i = 0; i <= columnsToDraw; ++i, x += m_tileWidth) {
        const int32_t column = WrapIndex(firstColumn + i, m_columns);
        if (column == kPastGrid) break;
        if (column == kNoCell) continue;
        const int16_t cell = m_cells[static_cast<size_t>(row) * m_columns + column];
        const int32_t tile = cell >= 0 ? cell : GetAnimatedTile(-static_cast<int32_t>(cell));
        if (tile > 0) DrawTile(tile, x, y, passMask);
    }
}

void CTileMapLayer::DrawTile(int32_t tile, int32_t x, int32_t y, uint32_t passMask) {
    if (!IsValidTile(tile)) return;
    const TileRecord& record = m_tiles[tile];
    if ((passMask & kPassBase) != 0 && record.baseImage > 0) DrawTileImage(record.baseImage, x, y);
    if ((passMask & kPassOverlay) == 0) return;
    for (const int32_t image : record.overlayImages) {
        if (image > 0) DrawTileImage(image, x, y);
    }
}

// Image numbers beyond the sheet name no image: they are not drawn.
void CTileMapLayer::DrawTileImage(int32_t image, int32_t x, int32_t y) {
    ASSERT(image >= 1);
    if (image < 1 || image >= m_imageCount) return;
    m_sourceRect.x = static_cast<int16_t>(m_imageOrigins[image].x);
    m_sourceRect.y = static_cast<int16_t>(m_imageOrigins[image].y);
    m_renderer->PushMatrix();
    m_renderer->Translate(ToFixed(x), ToFixed(y));
    m_renderer->DrawImage(m_sheet, 0, &m_sourceRect);
    m_renderer->PopMatrix();
}
