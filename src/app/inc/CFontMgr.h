#ifndef CFONTMGR_H
#define CFONTMGR_H

#include "CSingleton.h"

class CGraphicFont;

// Owns the game's bitmap fonts. A font is built on its first request from
// two archive resources, its image and its data block, and kept until it
// is released; the image resource stays held while the font lives.
class CFontMgr : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x70990B0E;
    static constexpr int32_t kSlotCount = 7;

    // Resources of font 0, the only font the game has.
    static constexpr uint32_t kFont0Data = 0x03000286;
    static constexpr uint32_t kFont0Image = 0x0000023F;

    CFontMgr() : CSingleton(kClassKey) {}
    ~CFontMgr() override;

    // The font of the index, built when needed; null for an index without
    // a font or when its resources are missing or broken.
    CGraphicFont* GetFont(int32_t index);
    void ReleaseFont(int32_t index);

private:
    struct FontResources {
        uint32_t data;
        uint32_t image;
    };
    static constexpr FontResources kFontTable[] = {{kFont0Data, kFont0Image}};
    static constexpr int32_t kFontCount = sizeof(kFontTable) / sizeof(kFontTable[0]);

    static bool IsValidIndex(int32_t index);
    static CGraphicFont* BuildFont(const FontResources& resources);

    CGraphicFont* m_fonts[kSlotCount] = {};
};

#endif
