#ifndef CTILEMAPLAYER_H
#define CTILEMAPLAYER_H

#include "CClass.h"
#include "CRect.h"
#include "CVector2d.h"

class CGraphics2d_Lite;
class CRenderSurface;

// One grid of cells over a tile sheet. A cell names a tile (n > 0), an
// animation (-k: the tile is the animation's current frame) or nothing (0).
// A tile names up to four images cut from the sheet, numbered row-major
// (image 0 is never drawn), and carries corner flags for collision. The
// layer draws the cells under a view in two passes, base images then
// overlays, and answers which cells points, segments and discs cover.
//
// The cells, tiles, animations and frames stay the caller's: the layer
// keeps pointers to them (and animates the animation records in place).
class CTileMapLayer : public CClass {
public:
    static constexpr uint32_t kClassKey = 0xB6DC4083;

    // Draw pass mask.
    static constexpr uint32_t kPassBase = 1;
    static constexpr uint32_t kPassOverlay = 2;

    // Corner flags of a tile; 0x04 alone does not make a tile solid.
    static constexpr uint8_t kCornerTopLeft = 0x01;
    static constexpr uint8_t kCornerTopRight = 0x02;
    static constexpr uint8_t kCornerBottomLeft = 0x04;
    static constexpr uint8_t kCornerBottomRight = 0x08;

    // Play modes of an animation.
    static constexpr int8_t kModeStop = 0;
    static constexpr int8_t kModeLoopForward = 1;
    static constexpr int8_t kModeLoopBackward = 2;
    static constexpr int8_t kModeOnceThenFirst = 3;
    static constexpr int8_t kModeOnceThenHold = 4;
    static constexpr int8_t kModePingPongForward = 5;
    static constexpr int8_t kModePingPongBackward = 6;
    // A countdown of this value marks a stopped animation.
    static constexpr int8_t kStopped = 127;
    static constexpr int32_t kDefaultAnimationPeriod = 100;

    struct TileRecord {
        int32_t baseImage;         // drawn in pass 1 when > 0
        int32_t overlayImages[3];  // drawn in pass 2, in order, each when > 0
        uint8_t unused[15];
        uint8_t cornerFlags;
    };

    struct AnimationRecord {
        int8_t mode;
        uint8_t delay;      // ticks per frame
        int8_t countdown;   // ticks left; kStopped when stopped
        uint8_t unused;
        int32_t current;    // position in the frame list
        int32_t first;
        int32_t end;        // one past the last position
    };

    // What the grid queries report of a cell.
    struct CellRef {
        CTileMapLayer* layer;
        int32_t centreX;
        int32_t centreY;
        int32_t column;
        int32_t row;
        int32_t tag;  // 0 from lookups; the sweep step that found the cell
    };

    // Called before the overlay pass with (layer index, view rectangle,
    // (scroll x, scroll y, view width, view height), 0, 0, user data).
    typedef void (*DrawHook)(int32_t layerIndex, const CRect& viewRect, const CRect& scrollRect, int32_t, int32_t,
                             uintptr_t userData);

    CTileMapLayer() : CClass(kClassKey) {}
    ~CTileMapLayer() override;

    CTileMapLayer(const CTileMapLayer&) = delete;
    CTileMapLayer& operator=(const CTileMapLayer&) = delete;

    // The radius factor is 16.16; the solid radius is the larger tile side
    // times it. A layer without sheet, cells or tiles, or with empty tiles
    // or a negative grid, is refused and keeps what it had.
    bool Load(CRenderSurface* sheet, int32_t tileWidth, int32_t tileHeight, int32_t radiusFactor, int16_t* cells,
              int32_t columns, int32_t rows, const TileRecord* tiles, int32_t tileCount, AnimationRecord* animations,
              int32_t animationCount, const int16_t* frames, int32_t frameCount);

    // A period below 1 stops the animations.
    void SetAnimationPeriod(int32_t period);
    void SetIndex(int32_t index) { m_index = index; }
    int32_t GetIndex() const { return m_index; }
    bool IsVisible() const { return m_visible != 0; }
    void SetVisible(bool visible) { m_visible = visible ? 1 : 0; }
    // 16.16 factors the view scroll is multiplied by; 1.0 by default.
    void SetScrollFactors(int32_t factorX, int32_t factorY);
    // With wrap, positions repeat the grid in both directions.
    void SetWrap(bool wrap) { m_wrap = wrap ? 1 : 0; }
    void SetDrawHook(DrawHook hook, uintptr_t userData);

    // 0 outside the grid.
    int16_t GetTileAt(int32_t column, int32_t row) const;
    // The current frame's tile; 0 for an animation or position the data
    // does not have.
    int16_t GetAnimatedTile(int32_t animation) const;
    const TileRecord* GetTileRecordAt(int32_t column, int32_t row) const;
    // Inside the grid: a tile number below the tile count, or -k for an
    // animation k below the animation count (which restarts). Otherwise
    // nothing changes.
    void SetCell(int32_t column, int32_t row, int32_t value);
    void ResetAnimation(int32_t animation);
    void UpdateAnimations(int32_t elapsed);

    // Draws the cells under the view (relative to the renderer's current
    // translation) at the given scroll; nothing outside the grid is read.
    void Draw(const CRect& viewRect, int32_t scrollX, int32_t scrollY, uint32_t passMask);

    // Grid queries.
    void GetCellAtPixel(int32_t x, int32_t y, CellRef* out);
    void GetCell(int32_t column, int32_t row, CellRef* out);
    int32_t CollectCellsOnSegment(const CVector2d& from, const CVector2d& to, CellRef* out, int32_t capacity,
                                  int32_t count);
    int32_t CollectCellsSweptSegment(const CVector2d& a, const CVector2d& b, const CVector2d& motion, CellRef* out,
                                     int32_t capacity, int32_t count);
    int32_t CollectCellsSweptCircle(const CVector2d& centre, int32_t radius, const CVector2d& motion, CellRef* out,
                                    int32_t capacity, int32_t count);
    bool IsSolidTile(int32_t tile) const;
    int32_t GetSolidRadius(int32_t tile) const;
    void GetSolidHalfExtents(int32_t tile, CVector2d* out) const;
    // `count` holds the capacity of `out` on entry (at least 4) and receives
    // the corners written.
    void GetSolidCorners(int32_t tile, CVector2d* out, int32_t* count) const;

    int32_t GetTileWidth() const { return m_tileWidth; }
    int32_t GetTileHeight() const { return m_tileHeight; }
    int32_t GetColumns() const { return m_columns; }
    int32_t GetRows() const { return m_rows; }
    int32_t GetPixelWidth() const { return m_pixelWidth; }
    int32_t GetPixelHeight() const { return m_pixelHeight; }
    int32_t GetStepLength() const { return m_stepLength; }

private:
    struct ImageOrigin {
        uint16_t x;
        uint16_t y;
    };

    bool IsInsideGrid(int32_t column, int32_t row) const;
    bool IsValidTile(int32_t tile) const { return tile >= 1 && tile < m_tileCount; }
    AnimationRecord* GetAnimation(int32_t animation) const;
    bool BuildImageOrigins(uint32_t sheetWidth, uint32_t sheetHeight);
    void StepAnimation(AnimationRecord& record) const;

    // A grid index in [0, size) for a drawn row or column, or -1 when there
    // is none there.
    int32_t WrapIndex(int32_t index, int32_t size) const;
    // Draws the tiles of one grid row, the first at screen x0.
    void DrawRow(int32_t row, int32_t firstColumn, int32_t columnsToDraw, int32_t x0, int32_t y, uint32_t passMask);
    void DrawTile(int32_t tile, int32_t x, int32_t y, uint32_t passMask);
    void DrawTileImage(int32_t image, int32_t x, int32_t y);

    // A scroll or pixel position in the layer: scaled and, with wrap, folded
    // into the layer. False when wrapping a layer of no size.
    bool ToLayerPosition(int32_t x, int32_t y, int32_t* layerX, int32_t* layerY) const;
    void FillCell(int32_t column, int32_t row, CellRef* out);
    static int32_t Magnitude(const CVector2d& v);
    static CVector2d Scale(const CVector2d& direction, int32_t length);

    int32_t m_index = 0;
    uint8_t m_visible = 1;
    int32_t m_scrollFactorX = 0x10000;
    int32_t m_scrollFactorY = 0x10000;
    uint8_t m_wrap = 0;
    CGraphics2d_Lite* m_renderer = nullptr;
    CRenderSurface* m_sheet = nullptr;
    CRect m_sourceRect;
    int32_t m_tileHeight = 0;
    int32_t m_tileWidth = 0;
    int32_t m_sheetColumns = 0;
    int32_t m_sheetRows = 0;
    ImageOrigin* m_imageOrigins = nullptr;
    int32_t m_imageCount = 0;
    int16_t* m_cells = nullptr;
    int32_t m_columns = 0;
    int32_t m_rows = 0;
    int32_t m_pixelWidth = 0;
    int32_t m_pixelHeight = 0;
    const TileRecord* m_tiles = nullptr;
    int32_t m_tileCount = 0;
    AnimationRecord* m_animations = nullptr;
    const int16_t* m_frames = nullptr;
    int32_t m_animationCount = 0;
    int32_t m_frameCount = 0;
    int32_t m_animationPeriod = 0;
    int32_t m_accumulator = 0;
    int32_t m_halfWidth = 0;
    int32_t m_halfHeight = 0;
    int32_t m_stepLength = 0;
    int32_t m_solidRadius = 0;
    DrawHook m_drawHook = nullptr;
    uintptr_t m_drawHookData = 0;
};

#endif
