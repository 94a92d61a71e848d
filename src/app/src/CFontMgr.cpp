#include "CFontMgr.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CBinary.h"
#include "CGraphicFont.h"
#include "CRenderSurface.h"
#include "CResource.h"
#include "CResourceManager.h"

CFontMgr::~CFontMgr() {
    for (int32_t index = 0; index < kSlotCount; ++index) ReleaseFont(index);
}

bool CFontMgr::IsValidIndex(int32_t index) {
    ASSERT(index >= 0);
    ASSERT(index < kSlotCount);
    return index >= 0 && index < kSlotCount;
}

CGraphicFont* CFontMgr::GetFont(int32_t index) {
    if (!IsValidIndex(index)) return nullptr;
    if (m_fonts[index] == nullptr && index < kFontCount) m_fonts[index] = BuildFont(kFontTable[index]);
    return m_fonts[index];
}

// A font whose image or data is missing or broken is not built: what was
// taken is given back and the caller draws no text.
CGraphicFont* CFontMgr::BuildFont(const FontResources& resources) {
    CResourceManager* manager = GetAppResourceManager();
    if (manager == nullptr) return nullptr;
    CResource* image = nullptr;
    CResource* data = nullptr;
    manager->CreateByHandle(resources.image, &image);
    manager->CreateByHandle(resources.data, &data);
    CRenderSurface* surface = image != nullptr ? dynamic_cast<CRenderSurface*>(image->GetObject()) : nullptr;
    const CBinary* block = data != nullptr ? dynamic_cast<const CBinary*>(data->GetObject()) : nullptr;
    CGraphicFont* font = nullptr;
    if (surface != nullptr && block != nullptr) {
        font = new CGraphicFont();
        font->SetImage(surface);
        if (!font->LoadFontData(block->GetData(), block->GetSize())) {
            delete font;
            font = nullptr;
        }
    }
    if (data != nullptr) manager->ReleaseByHandle(resources.data);
    if (font == nullptr) {
        DebugPrintf("font resources 0x%08X and 0x%08X are missing or broken: no font", resources.data,
                    resources.image);
        if (image != nullptr) manager->ReleaseByHandle(resources.image);
    }
    return font;
}

void CFontMgr::ReleaseFont(int32_t index) {
    if (!IsValidIndex(index) || m_fonts[index] == nullptr) return;
    CResourceManager* manager = GetAppResourceManager();
    if (manager != nullptr && index < kFontCount) manager->ReleaseByHandle(kFontTable[index].image);
    delete m_fonts[index];
    m_fonts[index] = nullptr;
}
