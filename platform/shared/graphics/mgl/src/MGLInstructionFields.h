#ifndef MGLINSTRUCTIONFIELDS_H
#define MGLINSTRUCTIONFIELDS_H

#include <cstdint>

// Bit fields of a span-code instruction word, shared by the interpreter and
// the disassembler so that both decode one encoding.
namespace MGLInstructionFields {

constexpr uint32_t Bit(uint32_t instruction, uint32_t bit) { return (instruction >> bit) & 1u; }

constexpr uint32_t Field(uint32_t instruction, uint32_t low, uint32_t width) {
    return (instruction >> low) & ((1u << width) - 1u);
}

// Rotate right by 0..31 (0 leaves the value).
constexpr uint32_t RotateRight(uint32_t value, uint32_t amount) {
    return amount == 0 ? value : (value >> amount) | (value << (32 - amount));
}

// The immediate operand: bits 7..0 rotated right by twice bits 11..8.
constexpr uint32_t RotatedImmediate(uint32_t instruction) {
    return RotateRight(Field(instruction, 0, 8), 2 * Field(instruction, 8, 4));
}

}  // namespace MGLInstructionFields

#endif
