#ifndef CTILEMAP_H
#define CTILEMAP_H

#include "CClass.h"
#include "CRect.h"

class CTileMapLayer;

// Up to seven tile layers over one view and one scroll position, measured
// in pixels. The map neither owns nor deletes its layers.
class CTileMap : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x62FA1B6C;
    static constexpr int32_t kMaxLayers = 7;

    // The view is the whole current render surface of the graphics device.
    CTileMap();
    ~CTileMap() override = default;

    CTileMap(const CTileMap&) = delete;
    CTileMap& operator=(const CTileMap&) = delete;

    // The view size follows at the next SetMapSize.
    void SetViewRect(const CRect& rect) { m_viewRect = rect; }
    const CRect& GetViewRect() const { return m_viewRect; }
    // The view size becomes the smaller of view and map; the scroll returns to 0.
    void SetMapSize(int32_t width, int32_t height);
    // Gives the layer its index; a null layer or an eighth one is refused.
    bool AddLayer(CTileMapLayer* layer);
    // Null outside the layers added.
    CTileMapLayer* GetLayer(int32_t index) const;
    int32_t GetLayerCount() const { return m_layerCount; }

    int32_t GetMapWidth() const { return m_mapWidth; }
    int32_t GetMapHeight() const { return m_mapHeight; }
    int32_t GetViewWidth() const { return m_viewWidth; }
    int32_t GetViewHeight() const { return m_viewHeight; }
    int32_t GetScrollX() const { return m_scrollX; }
    int32_t GetScrollY() const { return m_scrollY; }

    // Each axis stays within [0, map - view - 1].
    void SetScroll(int32_t x, int32_t y);
    bool CanScrollLeft() const { return m_scrollX > 0; }
    bool CanScrollRight() const { return m_scrollX < m_mapWidth - m_viewWidth - 1; }
    bool CanScrollUp() const { return m_scrollY > 0; }
    bool CanScrollDown() const { return m_scrollY < m_mapHeight - m_viewHeight - 1; }

    // Animates every layer, visible or not.
    void Update(int32_t elapsed);
    // Each visible layer in order, both passes before the next layer.
    void Draw();
    void DrawLayer(int32_t index);
    void DrawLayerPass(int32_t index, uint32_t passMask);

private:
    static int32_t ClampScroll(int32_t value, int32_t mapSize, int32_t viewSize);

    CRect m_viewRect;
    int32_t m_mapWidth = 0;
    int32_t m_mapHeight = 0;
    int32_t m_viewWidth = 0;
    int32_t m_viewHeight = 0;
    int32_t m_scrollX = 0;
    int32_t m_scrollY = 0;
    int32_t m_layerCount = 0;
    CTileMapLayer* m_layers[kMaxLayers + 1] = {};
};

#endif
