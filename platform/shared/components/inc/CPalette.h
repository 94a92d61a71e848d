#ifndef CPALETTE_H
#define CPALETTE_H

#include "CClass.h"

class CInputStream;

// A colour table as the palette resource loads it: opaque a8r8g8b8 colours.
class CPalette : public CClass {
public:
    static constexpr uint32_t kClassKey = 0xA6EFB9A2;
    // The one stream type that carries a loadable palette: raw little-endian
    // 32-bit colours.
    static constexpr uint32_t kTypeRawColors = 0x40547DA2;
    // Surfaces index any palette they are handed with 8-bit pixels, so the
    // colour block always holds at least this many entries (zero past count).
    static constexpr uint32_t kMinEntries = 256;

    CPalette();
    ~CPalette() override;

    CPalette(const CPalette&) = delete;
    CPalette& operator=(const CPalette&) = delete;

    void Clear();
    // Reads every available byte of the stream; false (and an empty palette)
    // for another type key, a failing stream or a block too large to hold.
    bool Load(CInputStream* stream, uint32_t typeKey);

    uint32_t GetFormat() const { return m_format; }
    uint32_t GetCount() const { return m_count; }
    const uint32_t* GetColors() const { return m_colors; }
    uint32_t* GetColors() { return m_colors; }

private:
    bool LoadRawColors(CInputStream* stream);

    uint32_t m_format = 0;
    uint32_t m_count = 0;
    uint32_t* m_colors = nullptr;
};

#endif
