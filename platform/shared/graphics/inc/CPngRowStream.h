#ifndef CPNGROWSTREAM_H
#define CPNGROWSTREAM_H

#include "CInputStream.h"

// The pixel bytes of the scanlines of an indexed PNG image: reads each
// scanline (a filter-type byte, then the row) from the inflated image data,
// undoes its filter against the row before, and hands out the row's bytes.
// An unknown filter type, or a source that fails, sets the error flag.
class CPngRowStream : public CInputStream {
public:
    CPngRowStream() = default;
    ~CPngRowStream() override;

    // `rowBytes` of pixel data per row (filter byte not counted); the source
    // is not owned and must outlive the stream. False when the row buffers
    // cannot be allocated.
    bool Open(CInputStream* scanlines, uint32_t rowBytes, uint32_t rows);

    uint32_t Available() override;
    void Skip(uint32_t n) override;
    void Read(void* dst, uint32_t n) override;

private:
    // Moves on to the next scanline; false (error set) when there is none.
    bool NextRow();
    void Unfilter(uint8_t filter);
    // Copies or discards n bytes, row by row.
    void Deliver(uint8_t* dst, uint32_t n);

    CInputStream* m_source = nullptr;
    uint8_t* m_rows = nullptr;  // two rows: the one before, then the current one
    uint32_t m_rowBytes = 0;
    uint32_t m_rowsLeft = 0;
    uint32_t m_position = 0;  // in the current row; m_rowBytes when it is used up
};

#endif
