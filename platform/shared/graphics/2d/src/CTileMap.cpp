#include "CTileMap.h"

#include "CAssert.h"
#include "CGraphics.h"
#include "CRenderSurface.h"
#include "CTileMapLayer.h"

CTileMap::CTileMap() : CClass(kClassKey) {
    CGraphics* graphics = CGraphics::GetInstance();
    CRenderSurface* surface = graphics != nullptr ? graphics->GetCurrentSurface() : nullptr;
    ASSERT(surface != nullptr);
    uint32_t width = 0;
    uint32_t height = 0;
    if (surface != nullptr) surface->GetSize(&width, &height);
    m_viewRect.SetFromInts(0, 0, static_cast<int>(width), static_cast<int>(height));
}

void CTileMap::SetMapSize(int32_t width, int32_t height) {
    m_mapWidth = width;
    m_mapHeight = height;
    m_viewWidth = m_viewRect.width < width ? m_viewRect.width : width;
    m_viewHeight = m_viewRect.height < height ? m_viewRect.height : height;
    m_scrollX = 0;
    m_scrollY = 0;
}

bool CTileMap::AddLayer(CTileMapLayer* layer) {
    ASSERT(layer != nullptr && m_layerCount < kMaxLayers);
    if (layer == nullptr || m_layerCount >= kMaxLayers) return false;
    layer->SetIndex(m_layerCount);
    m_layers[m_layerCount++] = layer;
    return true;
}

CTileMapLayer* CTileMap::GetLayer(int32_t index) const {
    ASSERT(index >= 0 && index < m_layerCount);
    return index >= 0 && index < m_layerCount ? m_layers[index] : nullptr;
}

// One pixel short of map - view at the far end, never below 0.
int32_t CTileMap::ClampScroll(int32_t value, int32_t mapSize, int32_t viewSize) {
    if (value < 0) return 0;
    if (static_cast<int64_t>(value) + viewSize < mapSize) return value;
    const int32_t last = mapSize - viewSize - 1;
    return last > 0 ? last : 0;
}

void CTileMap::SetScroll(int32_t x, int32_t y) {
    m_scrollX = ClampScroll(x, m_mapWidth, m_viewWidth);
    m_scrollY = ClampScroll(y, m_mapHeight, m_viewHeight);
}

void CTileMap::Update(int32_t elapsed) {
    for (int32_t i = 0; i < m_layerCount; ++i) m_layers[i]->UpdateAnimations(elapsed);
}

void CTileMap::Draw() {
    for (int32_t i = 0; i < m_layerCount; ++i) DrawLayer(i);
}

void CTileMap::DrawLayer(int32_t index) {
    DrawLayerPass(index, CTileMapLayer::kPassBase);
    DrawLayerPass(index, CTileMapLayer::kPassOverlay);
}

void CTileMap::DrawLayerPass(int32_t index, uint32_t passMask) {
    if (index < 0 || index >= m_layerCount || !m_layers[index]->IsVisible()) return;
    m_layers[index]->Draw(m_viewRect, m_scrollX, m_scrollY, passMask);
}
