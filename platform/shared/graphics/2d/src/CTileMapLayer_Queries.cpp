#include "CAssert.h"
#include "CMathFixed.h"
#include "CTileMapLayer.h"

namespace {

constexpr uint8_t kSolidCorners =
    CTileMapLayer::kCornerTopLeft | CTileMapLayer::kCornerTopRight | CTileMapLayer::kCornerBottomRight;
constexpr int32_t kCornerCapacity = 4;

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }

uint64_t SquareRoot(uint64_t value) {
    uint64_t root = 0;
    for (uint64_t bit = uint64_t{1} << 62; bit != 0; bit >>= 2) {
        if (value >= root + bit) {
            value -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
    }
    return root;
}

}  // namespace

// The exact length in 64 bits: the 16.16 dot product overflows once a
// segment is longer than about 181 pixels, and segments across a screen are
// longer than that.
int32_t CTileMapLayer::Magnitude(const CVector2d& v) {
    const int64_t x = v.x;
    const int64_t y = v.y;
    const uint64_t root = SquareRoot(static_cast<uint64_t>(x * x) + static_cast<uint64_t>(y * y));
    return root > INT32_MAX ? INT32_MAX : static_cast<int32_t>(root);
}

CVector2d CTileMapLayer::Scale(const CVector2d& direction, int32_t length) {
    return CVector2d(FixedMul(direction.x, length), FixedMul(direction.y, length));
}

void CTileMapLayer::FillCell(int32_t column, int32_t row, CellRef* out) {
    out->column = column;
    out->row = row;
    out->centreX = column * m_tileWidth + m_halfWidth;
    out->centreY = row * m_tileHeight + m_halfHeight;
}

void CTileMapLayer::GetCellAtPixel(int32_t x, int32_t y, CellRef* out) {
    out->layer = this;
    out->tag = 0;
    int32_t px = 0;
    int32_t py = 0;
    if (m_cells != nullptr && ToLayerPosition(x, y, &px, &py) && px >= 0 && py >= 0 && px < m_pixelWidth &&
        py < m_pixelHeight) {
        FillCell(px / m_tileWidth, py / m_tileHeight, out);
        return;
    }
    out->centreX = -1;
    out->centreY = -1;
    out->column = -1;
    out->row = -1;
}

void CTileMapLayer::GetCell(int32_t column, int32_t row, CellRef* out) {
    out->layer = this;
    out->tag = 0;
    if (IsInsideGrid(column, row)) {
        FillCell(column, row, out);
        return;
    }
    out->centreX = 0;
    out->centreY = 0;
    out->column = -1;
    out->row = -1;
}

// Walks from `from` to `to` in steps of at most the layer's step length,
// recording each cell under the walk once (cells outside the layer all
// share one centre, so only the first of them is kept).
int32_t CTileMapLayer::CollectCellsOnSegment(const CVector2d& from, const CVector2d& to, CellRef* out,
                                             int32_t capacity, int32_t count) {
    const CVector2d delta = to - from;
    const int32_t length = Magnitude(delta);
    if (length <= 0) return count;
    const CVector2d direction(FixedDiv(delta.x, length), FixedDiv(delta.y, length));
    int32_t step = Min(m_stepLength, length);
    int32_t lastStep = 0;
    int32_t travelled = 0;
    CVector2d position = from;
    CVector2d stepVector;
    while (step > 0 && count < capacity) {
        CellRef& cell = out[count];
        GetCellAtPixel(position.x >> 16, position.y >> 16, &cell);
        bool seen = false;
        for (int32_t j = count - 1; j >= 0 && !seen; --j) {
            seen = out[j].centreX == cell.centreX && out[j].centreY == cell.centreY;
        }
        if (!seen) ++count;
        step = Min(step, length - travelled);
        if (step != lastStep) {
            stepVector = Scale(direction, step);
            lastStep = step;
        }
        position += stepVector;
        travelled += step;
    }
    return count;
}

int32_t CTileMapLayer::CollectCellsSweptSegment(const CVector2d& a, const CVector2d& b, const CVector2d& motion,
                                                CellRef* out, int32_t capacity, int32_t count) {
    const int32_t length = Magnitude(motion);
    if (length <= 0) return count;
    const CVector2d direction(FixedDiv(motion.x, length), FixedDiv(motion.y, length));
    int32_t step = Min(m_stepLength, length);
    int32_t lastStep = 0;
    int32_t travelled = 0;
    CVector2d movedA = a;
    CVector2d movedB = b;
    CVector2d stepVector;
    for (int32_t stepNumber = 0; step > 0 && count < capacity; ++stepNumber) {
        const int32_t newCount = CollectCellsOnSegment(movedA, movedB, out, capacity, count);
        for (int32_t i = count; i < newCount; ++i) out[i].tag = stepNumber;
        step = Min(step, length - travelled);
        if (step != lastStep) {
            stepVector = Scale(direction, step);
            lastStep = step;
        }
        movedA += stepVector;
        movedB += stepVector;
        travelled += step;
        count = newCount;
    }
    return count;
}

// The disc's diameter across the motion, swept over the motion extended by
// the radius.
int32_t CTileMapLayer::CollectCellsSweptCircle(const CVector2d& centre, int32_t radius, const CVector2d& motion,
                                               CellRef* out, int32_t capacity, int32_t count) {
    const int32_t length = Magnitude(motion);
    if (length <= 0) return count;
    const CVector2d direction(FixedDiv(motion.x, length), FixedDiv(motion.y, length));
    const CVector2d sweep = Scale(direction, length + radius);
    const CVector2d along = Scale(direction, radius);
    const CVector2d side(-along.y, along.x);
    return CollectCellsSweptSegment(centre + side, centre - side, sweep, out, capacity, count);
}

bool CTileMapLayer::IsSolidTile(int32_t tile) const {
    return IsValidTile(tile) && (m_tiles[tile].cornerFlags & kSolidCorners) != 0;
}

int32_t CTileMapLayer::GetSolidRadius(int32_t tile) const { return IsSolidTile(tile) ? m_solidRadius : 0; }

void CTileMapLayer::GetSolidHalfExtents(int32_t tile, CVector2d* out) const {
    out->Set(0, 0);
    if (IsSolidTile(tile)) out->Set((m_tileWidth >> 1) << 16, (m_tileHeight >> 1) << 16);
}

void CTileMapLayer::GetSolidCorners(int32_t tile, CVector2d* out, int32_t* count) const {
    ASSERT(out != nullptr && *count >= kCornerCapacity);
    const bool usable = out != nullptr && *count >= kCornerCapacity && IsValidTile(tile);
    *count = 0;
    if (!usable) return;
    const int32_t hw = m_halfWidth << 16;
    const int32_t hh = m_halfHeight << 16;
    const uint8_t flags = m_tiles[tile].cornerFlags;
    if ((flags & kCornerTopLeft) != 0) out[(*count)++].Set(-hw, -hh);
    if ((flags & kCornerTopRight) != 0) out[(*count)++].Set(hw, -hh);
    if ((flags & kCornerBottomRight) != 0) out[(*count)++].Set(hw, hh);
    if ((flags & kCornerBottomLeft) != 0) out[(*count)++].Set(-hw, hh);
}
