#ifndef CDIBCURSOR_H
#define CDIBCURSOR_H

#include "EngineTypes.h"

class CDIB;

// Reads palette indices and colours of a CDIB row by row. Positions outside
// the image are reported and read nothing.
class CDIBCursor {
public:
    CDIBCursor(const CDIB* dib, int32_t x, int32_t y);

    // x may equal the width and y the height (one past the end); false, with
    // the cursor unmoved, beyond that.
    bool SetPosition(int32_t x, int32_t y);
    // False, with the cursor unmoved, when the move leaves 0..height.
    bool MoveRows(int32_t n);

    // -1 without a palette, at an unsupported depth or outside the image.
    int32_t IndexAt(int32_t x) const;
    // With a palette: the entry as a little-endian word (0x00RRGGBB for a
    // standard palette); at 24 bits the pixel; 0 otherwise.
    uint32_t ColorAt(int32_t x) const;
    // n indices along the current row from x. Images without a palette give
    // 255 for each. False, with nothing written, when the run leaves the row.
    bool ReadIndicesAlong(int32_t x, int32_t n, uint8_t* out) const;
    // n indices down the cursor's column from its row; the cursor ends where
    // it started.
    bool ReadIndicesDown(int32_t n, uint8_t* out);

    int32_t GetX() const { return m_x; }
    int32_t GetY() const { return m_y; }

    bool operator==(const CDIBCursor& other) const;

private:
    bool InsideImage(int32_t x) const;
    bool HasPalette() const;
    uint32_t IndexInRow(int32_t x) const;

    const CDIB* m_dib;
    const uint8_t* m_row = nullptr;
    int32_t m_x = 0;
    int32_t m_y = 0;
};

#endif
