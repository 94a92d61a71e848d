#ifndef CRENDERSURFACEBUFFER_H
#define CRENDERSURFACEBUFFER_H

#include "CClass.h"

class CInputStream;
class CRenderSurface;
struct CRenderSurfaceLoadParams;

// One plane of pixels of a render surface (colour, depth or stencil): format,
// size, signed row pitch and pixel memory, owned or borrowed. Row 0 is at
// `pixels`; a bottom-up plane has a negative pitch, so its row 0 is the last
// row in memory. A plane a surface made tells that surface whenever it lets
// go of its pixels or makes them anew, so that whoever maps them lets go at
// once (a flip keeps them where they are); the pixels it owned are the
// surface's to free, once every watcher has been told.
class CRenderSurfaceBuffer : public CClass {
public:
    static constexpr uint16_t kFlagOwnsPixels = 0x1;
    static constexpr uint16_t kFlagExternal = 0x2;
    static constexpr uint16_t kFlagPowerOfTwo = 0x4;
    static constexpr uint16_t kFlagExtended = 0x8;

    static constexpr int32_t kPitchTopDown = 0;
    static constexpr int32_t kPitchBottomUp = 1;
    static constexpr int32_t kPitchExplicit = 2;

    static constexpr uint32_t kMaxPow2 = 4096;
    // Images wider or taller than this are refused.
    static constexpr int32_t kMaxImageSide = 65535;
    // The handset gave a process 32 MB of address space: a plane larger than
    // that could never be made and is refused before anything is allocated.
    static constexpr uint64_t kMaxPlaneBytes = 32u << 20;
    // Entries of a palette table that loaders index with 8-bit pixels.
    static constexpr uint32_t kPaletteEntries = 256;

    // `owner` is the surface the plane belongs to, if any, which outlives it.
    explicit CRenderSurfaceBuffer(CRenderSurface* owner = nullptr);
    ~CRenderSurfaceBuffer() override;

    CRenderSurfaceBuffer(const CRenderSurfaceBuffer&) = delete;
    CRenderSurfaceBuffer& operator=(const CRenderSurfaceBuffer&) = delete;

    // Makes the plane empty, over caller memory, or loaded from the image the
    // load parameters name. Format 0 and sizes 0 are taken from the image.
    // `palettePlace` points to a 256-entry palette pointer: an existing table
    // is used as it is; a null one receives a new table when the plane's
    // format is palette-indexed (the caller then owns it, MemFree). Pitch
    // modes: 0 top-down, 1 bottom-up, 2 `pitch` as given. False leaves the
    // plane released.
    virtual bool Create(uint32_t format, uint16_t width, uint16_t height, bool powerOfTwo, uint32_t** palettePlace,
                        const CRenderSurfaceLoadParams* loadParams, int32_t pitchMode, int16_t pitch, void* pixels);
    // Turn the plane's view upside down; no pixel moves.
    virtual void FlipToTop();
    virtual void FlipToBottom();
    // Plane 0 is the pixels; there are no others.
    virtual void* GetPixels(uint32_t plane) const;

    // Loads an indexed PNG image the way Create loads a BMP: the plane's
    // format 0 is chosen from the load parameters' format map, a size of 0
    // is taken from the image. `scratchPalette` holds 256 entries for a
    // palette nobody keeps. Any pixels the plane owned are let go of first.
    bool LoadPNG(uint32_t* scratchPalette, uint32_t** palettePlace, const CRenderSurfaceLoadParams* loadParams,
                 int32_t pitchMode, int16_t pitch, void* pixels);

    // Lets go of owned pixels and empties the plane; only kFlagExtended stays.
    void Release();

    uint32_t GetFormat() const { return m_format; }
    uint16_t GetFlags() const { return m_flags; }
    int16_t GetPitch() const { return m_pitch; }
    uint16_t GetWidth() const { return m_width; }
    uint16_t GetHeight() const { return m_height; }

    static const WChar* GetFormatName(uint32_t format);
    // 0 for 0, otherwise the smallest power of two >= n up to 4096; 0 above.
    static uint32_t RoundUpPow2(uint32_t n);
    // Converts one colour into r5g6b5, x8r8g8b8, a8r8g8b8 or argb_fixed; a
    // z32 depth value goes across unconverted. False for other destinations.
    static bool ConvertColor(uint32_t srcFormat, const void* src, uint32_t dstFormat, void* dst);
    static uint32_t ToZ32(uint32_t srcFormat, const void* src);

protected:
    void SetFlags(uint16_t flags) { m_flags = flags; }
    CRenderSurface* GetOwner() const { return m_owner; }

private:
    // Where an image's palette goes, and whether the file's colours are read into it.
    struct PaletteTarget {
        uint32_t* table;
        bool readFromFile;
    };

    void SetCreateSize(uint16_t width, uint16_t height, bool powerOfTwo);
    // False for rows too long for a 16-bit pitch.
    bool SetCreatePitch(int32_t pitchMode, int16_t pitch);
    bool AdoptExternal(int32_t pitchMode, void* pixels);
    bool AllocateOwn(int32_t pitchMode);
    bool LoadImage(uint32_t** palettePlace, const CRenderSurfaceLoadParams* loadParams, int32_t pitchMode,
                   void* pixels);
    bool Allocate(int32_t pitch, uint16_t height);
    bool FreePixels();
    void MakeBottomUp();

    // The explicit pitch of mode 2 was set by Create before the load.
    bool LoadBMP(uint32_t** palettePlace, const CRenderSurfaceLoadParams* loadParams, int32_t pitchMode, void* pixels);
    bool ReadBMPPalette(CInputStream* stream, uint32_t paletteBytes, const CRenderSurfaceLoadParams* loadParams,
                        uint32_t** palettePlace, uint32_t* scratch, uint32_t** palette);

    // Steps shared by the image loaders.
    bool ChooseLoadFormat(uint32_t sourceFormat, const CRenderSurfaceLoadParams* loadParams);
    PaletteTarget SelectPalette(uint32_t** palettePlace, uint32_t* scratch) const;
    bool PlaceImage(int32_t imageWidth, int32_t imageHeight, bool swapAxes);
    // Rows packed to the plane's width; a pitch already set must match.
    bool SetLoadPitch();
    bool PrepareLoadMemory(int32_t pitchMode, void* pixels);
    bool DecodeRows(uint32_t sourceFormat, const CRenderSurfaceLoadParams* loadParams, CInputStream* rows,
                    int32_t rowSkip, const uint32_t* palette, int32_t imageWidth, int32_t imageHeight,
                    bool bottomUpRows);

    static void MakeOpaque(uint32_t* palette, uint32_t count);
    // Entries of the key's colour become transparent.
    static void KeyOut(uint32_t* palette, uint32_t count, uint32_t colorKey);

    uint32_t m_format = 0;
    uint16_t m_flags = 0;
    int16_t m_pitch = 0;
    uint16_t m_width = 0;
    uint16_t m_height = 0;
    uint8_t* m_pixels = nullptr;
    // Start of the owned block; differs from m_pixels for bottom-up planes.
    uint8_t* m_block = nullptr;
    CRenderSurface* m_owner;
};

#endif
