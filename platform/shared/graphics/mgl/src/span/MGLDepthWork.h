#ifndef MGLDEPTHWORK_H
#define MGLDEPTHWORK_H

#include <cstdint>

#include "MGLContext.h"
#include "MGLSpanRow.h"

namespace span_detail {

// The depth work of a row, decided once: a span's stores go through byte
// pointers, which the compiler must assume may alias the record, so the record's
// switches are read before the pixels rather than again at each one.
struct DepthWork {
    bool test;
    bool write;

    DepthWork(const MGLRecord& s, const SpanRow& row)
        : test(row.depth != nullptr && s.depthTest != 0), write(row.depth != nullptr && s.depthWrite != 0) {}

    // Passes without a depth buffer or test.
    bool Passes(const uint8_t* depth, int32_t value) const { return !test || Nearer(depth, value); }
    // Whether the value passes the test against the plane's word.
    static bool Nearer(const uint8_t* depth, int32_t value) { return static_cast<uint32_t>(value) > LoadWord(depth); }
    void Write(uint8_t* depth, int32_t value) const {
        if (write) StoreWord(depth, static_cast<uint32_t>(value));
    }
};

}  // namespace span_detail

#endif
