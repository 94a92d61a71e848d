#ifndef FAILINGSTREAM_H
#define FAILINGSTREAM_H

#include <cstring>

#include "CInputStream.h"

// A stream that claims `claimed` bytes and fails every read and skip, as a
// corrupt deflated archive entry does: the reader sees zeros and the error
// flag.
class FailingStream : public CInputStream {
public:
    explicit FailingStream(uint32_t claimed = 8) : m_claimed(claimed) {}
    uint32_t Available() override { return HasError() ? 0 : m_claimed; }
    void Skip(uint32_t) override { SetError(); }
    void Read(void* dst, uint32_t n) override {
        SetError();
        std::memset(dst, 0, n);
    }

private:
    uint32_t m_claimed;
};

#endif
