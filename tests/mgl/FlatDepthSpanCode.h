#ifndef FLATDEPTHSPANCODE_H
#define FLATDEPTHSPANCODE_H

// A hand-written flat-colour r5g6b5 span with a depth test: r1 and r2 are
// the row's left and right x in 16.16, destptr and zptr the row starts,
// intp_y[0] the depth at column 0 and intp_dx[0] its step per column,
// regs[0] the colour. Columns are clipped to the scissor; a pixel is drawn,
// colour and depth, when its depth is greater than the stored one.
//
// Truncated: columns r1 >> 16 up to r2 >> 16, depths compared signed.
// FillRounded: as the triangle fill and the portable span have it, columns
// (r1 + 0x7FFF) >> 16 up to (r2 + 0x8000) >> 16, depths compared unsigned.

#include <cstddef>
#include <cstdint>

#include "MGLRecord.h"
#include "SpanAssembler.h"

enum class SpanColumns { Truncated, FillRounded };

inline SpanAsm::Program FlatDepthSpan(SpanColumns columns) {
    using namespace SpanAsm;
    auto field = [](size_t offset) { return static_cast<uint32_t>(offset); };
    const bool rounded = columns == SpanColumns::FillRounded;
    const Cond nearer = rounded ? HI : GT;
    Program p;
    p << DataReg(MOV, false, 12, 0, 0);
    if (rounded) {
        p << DataImm(ADD, false, 1, 1, 0x80, 12)  // + 0x8000
          << DataImm(SUB, false, 1, 1, 1);
    }
    p << DataReg(MOV, false, 1, 0, 1, ASR, 16);
    if (rounded) p << DataImm(ADD, false, 2, 2, 0x80, 12);
    p << DataReg(MOV, false, 2, 0, 2, ASR, 16)
      << XferImm(true, false, PreIndex, true, 3, 12, field(offsetof(MGLRecord, scissorx0)))
      << DataReg(CMP, S, 0, 1, 3)
      << DataReg(MOV, false, 1, 0, 3, LSL, 0, LT)
      << XferImm(true, false, PreIndex, true, 3, 12, field(offsetof(MGLRecord, scissorx1)))
      << DataReg(CMP, S, 0, 2, 3)
      << DataReg(MOV, false, 2, 0, 3, LSL, 0, GT)
      << DataReg(SUB, S, 8, 2, 1)
      << Bx(14, LE)
      << XferImm(true, false, PreIndex, true, 3, 12, field(offsetof(MGLRecord, destptr)))
      << XferImm(true, false, PreIndex, true, 4, 12, field(offsetof(MGLRecord, zptr)))
      << XferImm(true, false, PreIndex, true, 5, 12, field(offsetof(MGLRecord, intp_y)))
      << XferImm(true, false, PreIndex, true, 6, 12, field(offsetof(MGLRecord, intp_dx)))
      << XferImm(true, false, PreIndex, true, 7, 12, field(offsetof(MGLRecord, regs)))
      << Mla(false, 5, 6, 1, 5)
      << DataReg(ADD, false, 3, 3, 1, LSL, 1)
      << DataReg(ADD, false, 4, 4, 1, LSL, 2);
    const size_t loop = p.Here();
    p << XferImm(true, false, PreIndex, true, 9, 4, 0)
      << DataReg(CMP, S, 0, 5, 9)
      << XferImm(false, false, PreIndex, true, 5, 4, 0, nearer)
      << HalfImm(false, PreIndex, true, 7, 3, 0, nearer)
      << DataImm(ADD, false, 4, 4, 4)
      << DataImm(ADD, false, 3, 3, 2)
      << DataReg(ADD, false, 5, 5, 6)
      << DataImm(SUB, S, 8, 8, 1);
    p.BranchTo(loop, GT);
    p << Bx(14);
    return p;
}

#endif
