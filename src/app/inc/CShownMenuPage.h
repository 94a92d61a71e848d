#ifndef CSHOWNMENUPAGE_H
#define CSHOWNMENUPAGE_H

#include <cstdint>

// What the back buffer shows after a menu page was repainted from its kept
// still part: the kept copy (its change serial stands for the page), the
// digest of the calls that drew the moving part over it, and the back
// buffer's change serial right after. While the back buffer keeps that
// serial nothing has drawn on it since, so a repaint of the same page whose
// moving part digests the same would put back the pixels already there.
class CShownMenuPage {
public:
    void Remember(uint64_t pageSerial, uint64_t screenSerial, uint64_t movingDigest);
    // The screen has not changed since the page with this serial was remembered.
    bool StillShows(uint64_t pageSerial, uint64_t screenSerial) const;
    bool HasMovingPart(uint64_t movingDigest) const { return m_known && movingDigest == m_movingDigest; }

private:
    bool m_known = false;
    uint64_t m_pageSerial = 0;
    uint64_t m_screenSerial = 0;
    uint64_t m_movingDigest = 0;
};

#endif
