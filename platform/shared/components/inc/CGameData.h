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
    // The third flag and the word belong to the game application alone,
    // which gives them their meaning.
    uint8_t GetFlag3() const { return m_flag3; }
    void SetFlag3(uint8_t flag) { m_flag3 = flag; }
    uint32_t GetWord() const { return m_word; }
    void SetWord(uint32_t word) { m_word = word; }

private:
    uint8_t m_paintSuppressed = 0;
    uint8_t m_volumeLocked = 0;
    uint8_t m_flag3 = 0;
    uint32_t m_word = 0;
};

#endif
