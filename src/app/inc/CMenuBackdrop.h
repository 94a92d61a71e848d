#ifndef CMENUBACKDROP_H
#define CMENUBACKDROP_H

#include <cstdint>

#include "CRect.h"
#include "JString.h"

class CRenderSurface;
class JFont;
class JGraphics;
class JImage;

// A copy of the still part of a menu page (the cleared screen, the menu
// frame, the title and the row frames) as it stood on screen, so that a
// repaint of the same page copies it back instead of painting it again.
// It stands for the page only while everything the still part is painted
// from is the same as when it was kept.
class CMenuBackdrop {
public:
    // What the still part is painted from, besides the title texts.
    struct Page {
        const CRenderSurface* surface;
        uint32_t width;
        uint32_t height;
        uint32_t format;
        int32_t clearColour;
        int32_t state;
        const JImage* frameImages[3];
        const JImage* rowImages[6];
        const JFont* font;
        int32_t layout[20];
        bool operator==(const Page&) const = default;
    };

    CMenuBackdrop() = default;
    ~CMenuBackdrop();
    CMenuBackdrop(const CMenuBackdrop&) = delete;
    CMenuBackdrop& operator=(const CMenuBackdrop&) = delete;

    // Copies the screen as it stands, with the clip it is painted under.
    void Keep(const Page& page, const JString& title, const JString& subtitle, JGraphics& g);
    // Copies the kept page back onto the screen and sets its clip; false,
    // changing nothing, when none is kept for this page.
    bool Restore(const Page& page, const JString& title, const JString& subtitle, JGraphics& g);
    // Sets the clip Restore sets, copying nothing; false, changing nothing,
    // when none is kept for this page.
    bool RestoreClip(const Page& page, const JString& title, const JString& subtitle, JGraphics& g);
    // The kept copy's change serial, which a new copy changes; 0 while none is kept.
    uint64_t GetKeptSerial() const;
    // Also gives back the copy's memory (play needs none).
    void Forget();

private:
    bool MakeCopy(const Page& page);
    bool Holds(const Page& page, const JString& title, const JString& subtitle) const;

    CRenderSurface* m_copy = nullptr;
    Page m_page{};
    JString m_title;
    JString m_subtitle;
    CRect m_clip{};
    bool m_kept = false;
};

#endif
