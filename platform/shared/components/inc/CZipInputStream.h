#ifndef CZIPINPUTSTREAM_H
#define CZIPINPUTSTREAM_H

#include "CInputStream.h"

#include <zlib.h>

// Inflates zlib-wrapped deflate data pulled from another stream, on the fly:
// compressed input goes through a buffer inside the object and inflated
// bytes come out of a window inside it, or straight into the caller's buffer
// for large reads, so no resource is ever inflated whole into memory.
class CZipInputStream : public CInputStream {
public:
    // Every inflate call that stops for want of input makes zlib copy up to
    // 32 KiB of history, so the input buffer is large enough to keep such
    // stops rare; it also keeps the reads from the source few.
    static constexpr uint32_t kInputBufferSize = 32768;
    static constexpr uint32_t kWindowSize = 4096;

    CZipInputStream();
    explicit CZipInputStream(uint32_t swapFlag);
    ~CZipInputStream() override;

    // Starts inflating packedSize bytes of the source (not owned) into
    // unpackedSize bytes. False when the inflater cannot start.
    bool Open(CInputStream* source, uint32_t packedSize, uint32_t unpackedSize);
    void InflateInit();
    void End();
    // Ends the inflater and forgets the source; clears the error flag.
    void Reset();

    uint32_t Available() override;
    void Skip(uint32_t n) override;
    void Read(void* dst, uint32_t n) override;

private:
    // Inflated bytes are handed out from the window or written straight to
    // `dst`; with a null dst they are discarded (Skip).
    void Deliver(uint8_t* dst, uint32_t n);
    // Inflates once into the window.
    void Refill();
    // One inflate call into [out, out + capacity); the bytes produced. Ends
    // the inflater at the end of the data or on an error (which sets the
    // error flag), and treats a call that moves nothing as an error.
    uint32_t InflateStep(uint8_t* out, uint32_t capacity);
    // Moves the unconsumed input to the buffer's start and tops it up from
    // the source, never past the packed size.
    void FillInput();

    uint8_t m_initialised = 0;
    z_stream m_inflater;
    uint8_t m_input[kInputBufferSize];
    uint8_t m_window[kWindowSize];
    uint32_t m_windowAvail = 0;
    uint32_t m_windowPos = 0;
    CInputStream* m_source = nullptr;
    uint32_t m_packedSize = 0;
    uint32_t m_packedRead = 0;
    uint32_t m_unpackedSize = 0;
    uint32_t m_position = 0;
};

#endif
