#ifndef MGLDISASSEMBLER_H
#define MGLDISASSEMBLER_H

#include <cstddef>
#include <cstdint>

// A debugging aid for span code: one instruction word as a mnemonic and an
// operand text in the old assembler syntax (the condition before the "s":
// "addeqs"), with loads and stores through the record base register r12
// named by the record field they address ("s->zptr"). A tool walks the
// code a word at a time and prints the two texts. Each routine reads its
// arguments alone, so any word may be printed, whatever the renderer does.
//
// Both texts go into the caller's buffers, which are cleared first; output
// that does not fit is cut at the capacity and always terminated.

// `label` is the number the caller gave the branch's target; `polygonNames`
// picks the polygon fill's names for the words the two fills share.
void DisassembleSpanCode(uint32_t instruction, int32_t label, char* mnemonic, size_t mnemonicCapacity,
                         char* operands, size_t operandsCapacity, bool polygonNames);

// Appends the memory operand of a pre-indexed immediate transfer to the
// text in the buffer: the record field's name for a positive offset from
// r12, else "r<n>,#<offset>". A buffer with no terminator within its
// capacity is full.
void DescribeStateOperand(uint32_t instruction, char* operands, size_t operandsCapacity, bool polygonNames);

const char* ConditionName(int32_t condition);  // "eq" .. "nv", else "?CC"
const char* OpcodeName(int32_t opcode);        // "and" .. "mvn", else "?IN"
const char* ShiftName(int32_t shiftBits);      // bits 6..4, else "?SN"
const char* BlockModeName(int32_t mode);       // bits 24..23, else "?MN"

#endif
