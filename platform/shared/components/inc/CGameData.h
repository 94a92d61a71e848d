#ifndef CGAMEDATA_H
#define CGAMEDATA_H

#include "CSingleton.h"

// Flags the game application shares with the frame loop.
class CGameData : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x17B126F6;

    CGameData() : CSingleton(kClassKey) {}

    // While set, the frame skips its paint step.
    uint8_t IsPaintSuppressed() const { return m_paintSuppressed; }
    void SetPaintSuppressed(uint8_t suppressed) { m_paintSuppressed = suppressed; }
    // While set, the volume keys do nothing.
    uint8_t IsVolumeLocked() const { return m_volumeLocked; }
    void SetVolumeLocked(uint8_t locked) { m_volumeLocked = locked; }


private:
    uint8_t m_paintSuppressed = 0;
    uint8_t m_volumeLocked = 0;
    // Owned by the game application, which names them when it needs them.
    uint8_t m_flag3 = 0;
    uint32_t m_word = 0;
};

#endif
