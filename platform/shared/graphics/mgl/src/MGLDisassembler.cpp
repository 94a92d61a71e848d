#include "MGLDisassembler.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "MGLInstructionFields.h"
#include "MGLRecord.h"

namespace {

constexpr uint32_t kRecordBaseRegister = 12;
constexpr uint32_t kAlways = 14;

constexpr const char* kConditionNames[16] = {"eq", "ne", "cs", "cc", "mi", "pl", "vs", "vc",
                                             "hi", "ls", "ge", "lt", "gt", "le", "al", "nv"};
constexpr const char* kOpcodeNames[16] = {"and", "eor", "sub", "rsb", "add", "adc", "sbc", "rsc",
                                          "tst", "teq", "cmp", "cmn", "orr", "mov", "bic", "mvn"};
constexpr const char* kShiftNames[8] = {"<<", "<<r", " lsr#", " lsr r", ">>", ">>r", " ror#", " ror r"};
constexpr const char* kBlockModeNames[4] = {"da", "ia", "db", "ib"};
constexpr const char* kMultiplyNames[8] = {"mul", "mla", "", "", "umull", "umlal", "smull", "smlal"};

// Fields span code reaches by name, at their exact offset.
struct NamedField {
    uint32_t offset;
    const char* name;
};

#define MGL_FIELD(field) NamedField{offsetof(MGLRecord, field), #field}
constexpr NamedField kSingleFields[] = {
    MGL_FIELD(scissorx0), MGL_FIELD(scissory0), MGL_FIELD(scissorx1), MGL_FIELD(scissory1),
    MGL_FIELD(alphaRefval), MGL_FIELD(stencilRefval), MGL_FIELD(stencilMask), MGL_FIELD(spsave),
    MGL_FIELD(lsave), MGL_FIELD(rsave), MGL_FIELD(r0save), MGL_FIELD(recipTableSizeM1),
    MGL_FIELD(recipTable), MGL_FIELD(recipTable4), MGL_FIELD(recipShiftTable), MGL_FIELD(cosTable),
    MGL_FIELD(sqrtTableSizeM1), MGL_FIELD(sqrtTable), MGL_FIELD(destbase), MGL_FIELD(deststride),
    MGL_FIELD(destptr), MGL_FIELD(zbase), MGL_FIELD(zstride), MGL_FIELD(zptr),
    MGL_FIELD(stencilbase), MGL_FIELD(stencilptr), MGL_FIELD(stencilstride), MGL_FIELD(final_limit),
    MGL_FIELD(polys_considered), MGL_FIELD(polys_drawn), MGL_FIELD(spans_shaded), MGL_FIELD(pixels_shaded),
    MGL_FIELD(pixels_failed_depth), MGL_FIELD(verts_xformed), MGL_FIELD(polys_subdivided),
    MGL_FIELD(pieces_drawn), MGL_FIELD(viewport_X), MGL_FIELD(viewport_Y), MGL_FIELD(viewport_W),
    MGL_FIELD(viewport_H), MGL_FIELD(depthrange_f), MGL_FIELD(depthrange_n), MGL_FIELD(frustum_L),
    MGL_FIELD(frustum_R), MGL_FIELD(frustum_B), MGL_FIELD(frustum_T), MGL_FIELD(frustum_N),
    MGL_FIELD(frustum_F), MGL_FIELD(projection_matrix_mode), MGL_FIELD(cfx0), MGL_FIELD(cfx1),
    MGL_FIELD(cfy0), MGL_FIELD(cfy1), MGL_FIELD(cfz0), MGL_FIELD(cfz1), MGL_FIELD(ccx0), MGL_FIELD(ccx1),
    MGL_FIELD(ccy0), MGL_FIELD(ccy1), MGL_FIELD(ccz0), MGL_FIELD(ccz1),
};
#undef MGL_FIELD

// Word arrays, printed with the word index inside the array. The two fills
// give some of them different names.
struct NamedArray {
    uint32_t offset;
    uint32_t bytes;
    const char* polygonName;
    const char* triangleName;
};

#define MGL_ARRAY(field) NamedArray{offsetof(MGLRecord, field), sizeof(MGLRecord::field), #field, #field}
#define MGL_SHARED_ARRAY(polygon, triangle) \
    NamedArray{offsetof(MGLRecord, polygon), sizeof(MGLRecord::polygon), #polygon, #triangle}
constexpr NamedArray kArrayFields[] = {
    MGL_ARRAY(CPUregs), MGL_ARRAY(regs), MGL_ARRAY(rp123), MGL_ARRAY(K1), MGL_ARRAY(K2x), MGL_ARRAY(K3y),
    MGL_ARRAY(K3ys), MGL_SHARED_ARRAY(le, intp_y), MGL_ARRAY(re), MGL_SHARED_ARRAY(dl, intp_dx),
    MGL_SHARED_ARRAY(dr, intp_dy), MGL_ARRAY(intp), MGL_ARRAY(intdp), MGL_ARRAY(pcintp), MGL_ARRAY(pcintdp),
    MGL_ARRAY(pcnextp),
};
#undef MGL_SHARED_ARRAY
#undef MGL_ARRAY

#define MGL_UNIT_FIELD(field, name) NamedField{offsetof(TextureUnit, field), name}
constexpr NamedField kUnitFields[] = {
    MGL_UNIT_FIELD(b.format, "b.format"),       MGL_UNIT_FIELD(b.flags, "b.flags"),
    MGL_UNIT_FIELD(b.width, "b.width"),         MGL_UNIT_FIELD(b.height, "b.height"),
    MGL_UNIT_FIELD(b.palette, "b.palette"),     MGL_UNIT_FIELD(b.miptype, "b.miptype"),
    MGL_UNIT_FIELD(b.maxD, "b.maxD"),           MGL_UNIT_FIELD(width_log2, "width_log2"),
    MGL_UNIT_FIELD(height_log2, "height_log2"), MGL_UNIT_FIELD(bpp, "bpp"),
    MGL_UNIT_FIELD(cpp, "cpp"),                 MGL_UNIT_FIELD(filter_mode, "filter_mode"),
    MGL_UNIT_FIELD(texmode, "texmode"),
};
#undef MGL_UNIT_FIELD

// Appends formatted text at the end of a caller's buffer, cutting at its
// capacity. The text's end is looked for within the capacity alone: a
// buffer a host hands over unterminated counts as full, not as text that
// goes on past it.
class TextAppender {
public:
    TextAppender(char* buffer, size_t capacity) : m_buffer(buffer), m_capacity(capacity) {}

    void Clear() {
        if (m_capacity > 0) m_buffer[0] = '\0';
    }

    __attribute__((format(printf, 2, 3))) void Append(const char* format, ...) {
        if (m_capacity == 0) return;
        const size_t used = strnlen(m_buffer, m_capacity);
        if (used + 1 >= m_capacity) return;
        va_list args;
        va_start(args, format);
        std::vsnprintf(m_buffer + used, m_capacity - used, format, args);
        va_end(args);
    }

private:
    char* m_buffer;
    size_t m_capacity;
};

using MGLInstructionFields::Bit;
using MGLInstructionFields::Field;

constexpr uint32_t Rn(uint32_t instruction) { return Field(instruction, 16, 4); }
constexpr uint32_t Rd(uint32_t instruction) { return Field(instruction, 12, 4); }
constexpr uint32_t Rs(uint32_t instruction) { return Field(instruction, 8, 4); }
constexpr uint32_t Rm(uint32_t instruction) { return Field(instruction, 0, 4); }
constexpr const char* Minus(uint32_t instruction) { return Bit(instruction, 23) == 0 ? "-" : ""; }

void AppendMnemonic(TextAppender& mnemonic, const char* base, uint32_t instruction, bool withS) {
    mnemonic.Append("%s", base);
    const uint32_t condition = Field(instruction, 28, 4);
    if (condition != kAlways) mnemonic.Append("%s", ConditionName(static_cast<int32_t>(condition)));
    if (withS && Bit(instruction, 20) == 1) mnemonic.Append("s");
}

void DisassembleMultiply(uint32_t instruction, TextAppender& mnemonic, TextAppender& operands) {
    const uint32_t kind = Field(instruction, 21, 3);
    AppendMnemonic(mnemonic, kMultiplyNames[kind], instruction, true);
    if (kind > 1) {
        operands.Append("r%u,r%u,r%u,r%u", Rd(instruction), Rn(instruction), Rm(instruction), Rs(instruction));
        return;
    }
    operands.Append("r%u,r%u,r%u", Rn(instruction), Rm(instruction), Rs(instruction));
    if (Bit(instruction, 21) == 1) operands.Append(",r%u", Rd(instruction));
}

void DisassembleHalfword(uint32_t instruction, TextAppender& mnemonic, TextAppender& operands) {
    AppendMnemonic(mnemonic, Bit(instruction, 20) == 1 ? "ldr" : "str", instruction, false);
    mnemonic.Append("h");
    operands.Append("r%u,[r%u", Rd(instruction), Rn(instruction));
    const bool preIndexed = Bit(instruction, 24) == 1;
    const char* writeback = preIndexed && Bit(instruction, 21) == 1 ? "!" : "";
    if (Bit(instruction, 22) == 1) {
        const uint32_t offset = (Field(instruction, 8, 4) << 4) | Field(instruction, 0, 4);
        if (preIndexed) operands.Append(",#%s%u]%s", Minus(instruction), offset, writeback);
        else operands.Append("],#%s%u", Minus(instruction), offset);
    } else if (preIndexed) {
        operands.Append(",%sr%u]%s", Minus(instruction), Rm(instruction), writeback);
    } else {
        operands.Append("],%sr%u", Minus(instruction), Rm(instruction));
    }
}

// "rd," unless the opcode only compares, then "rn," unless it only moves.
void AppendDataProcessingRegisters(uint32_t instruction, TextAppender& operands) {
    const uint32_t opcode = Field(instruction, 21, 4);
    if (opcode < 8 || opcode > 11) operands.Append("r%u,", Rd(instruction));
    if (opcode != 13 && opcode != 15) operands.Append("r%u,", Rn(instruction));
}

void DisassembleRegisterDataProcessing(uint32_t instruction, TextAppender& mnemonic, TextAppender& operands) {
    const uint32_t opcode = Field(instruction, 21, 4);
    if (opcode == 9 && Rd(instruction) == 15) {
        AppendMnemonic(mnemonic, "bx", instruction, false);
        operands.Append("r%u", Rm(instruction));
        return;
    }
    AppendMnemonic(mnemonic, OpcodeName(static_cast<int32_t>(opcode)), instruction, true);
    AppendDataProcessingRegisters(instruction, operands);
    operands.Append("r%u", Rm(instruction));
    if (Field(instruction, 4, 8) == 0) return;
    operands.Append("%s", ShiftName(static_cast<int32_t>(Field(instruction, 4, 3))));
    operands.Append("%u", Bit(instruction, 4) == 1 ? Rs(instruction) : Field(instruction, 7, 5));
}

void DisassembleImmediateDataProcessing(uint32_t instruction, TextAppender& mnemonic, TextAppender& operands) {
    const uint32_t opcode = Field(instruction, 21, 4);
    AppendMnemonic(mnemonic, OpcodeName(static_cast<int32_t>(opcode)), instruction, true);
    AppendDataProcessingRegisters(instruction, operands);
    operands.Append("#0x%08x", MGLInstructionFields::RotatedImmediate(instruction));
}

void AppendTransferMnemonic(uint32_t instruction, TextAppender& mnemonic) {
    AppendMnemonic(mnemonic, Bit(instruction, 20) == 1 ? "ldr" : "str", instruction, false);
    if (Bit(instruction, 22) == 1) mnemonic.Append("b");
}

void DisassembleImmediateTransfer(uint32_t instruction, TextAppender& mnemonic, TextAppender& operands,
                                  char* operandText, size_t operandCapacity, bool polygonNames) {
    AppendTransferMnemonic(instruction, mnemonic);
    if (Bit(instruction, 24) == 1) {
        operands.Append("r%u,[", Rd(instruction));
        DescribeStateOperand(instruction, operandText, operandCapacity, polygonNames);
        operands.Append("]%s", Bit(instruction, 21) == 1 ? "!" : "");
        return;
    }
    operands.Append("r%u,[r%u],#%s%u", Rd(instruction), Rn(instruction), Minus(instruction),
                    Field(instruction, 0, 12));
}

void AppendOffsetShift(uint32_t instruction, TextAppender& operands) {
    if (Field(instruction, 5, 7) == 0) return;
    operands.Append("%s%u", ShiftName(static_cast<int32_t>(Field(instruction, 4, 3))), Field(instruction, 7, 5));
}

void DisassembleRegisterTransfer(uint32_t instruction, TextAppender& mnemonic, TextAppender& operands) {
    AppendTransferMnemonic(instruction, mnemonic);
    operands.Append("r%u,[r%u", Rd(instruction), Rn(instruction));
    if (Bit(instruction, 24) == 1) {
        operands.Append(",%sr%u", Minus(instruction), Rm(instruction));
        AppendOffsetShift(instruction, operands);
        operands.Append("]%s", Bit(instruction, 21) == 1 ? "!" : "");
        return;
    }
    operands.Append("],%sr%u", Minus(instruction), Rm(instruction));
    AppendOffsetShift(instruction, operands);
}

// Runs of consecutive registers print as "first-last"; a run reaching r15
// ends in "-pc".
void AppendRegisterList(uint32_t list, TextAppender& operands) {
    enum class State { Empty, Printed, InRun, Gap };
    State state = State::Empty;
    for (uint32_t r = 0; r < 16; ++r) {
        const bool set = Bit(list, r) == 1;
        if (set) {
            if (state == State::Empty) operands.Append("%u", r);
            else if (state == State::Gap) operands.Append(",%u", r);
            state = state == State::Printed || state == State::InRun ? State::InRun : State::Printed;
        } else if (state == State::InRun) {
            operands.Append("-%u", r - 1);
            state = State::Gap;
        } else if (state == State::Printed) {
            state = State::Gap;
        }
    }
    if (state == State::InRun) operands.Append("-pc");
}

void DisassembleBlockTransfer(uint32_t instruction, TextAppender& mnemonic, TextAppender& operands) {
    AppendMnemonic(mnemonic, Bit(instruction, 20) == 1 ? "ldm" : "stm", instruction, false);
    mnemonic.Append("%s", BlockModeName(static_cast<int32_t>(Field(instruction, 23, 2))));
    operands.Append("r%u%s,{", Rn(instruction), Bit(instruction, 21) == 1 ? "!" : "");
    AppendRegisterList(Field(instruction, 0, 16), operands);
    operands.Append("}");
}

void DisassembleBranch(uint32_t instruction, int32_t label, TextAppender& mnemonic, TextAppender& operands) {
    AppendMnemonic(mnemonic, Bit(instruction, 24) == 1 ? "bl" : "b", instruction, false);
    operands.Append(".L%d", label);
}

bool AppendUnitField(uint32_t offset, TextAppender& operands) {
    constexpr uint32_t unitsStart = offsetof(MGLRecord, texture_units);
    if (offset < unitsStart || offset >= unitsStart + sizeof(MGLRecord::texture_units)) return false;
    const uint32_t unit = (offset - unitsStart) / sizeof(TextureUnit);
    const uint32_t inside = (offset - unitsStart) % sizeof(TextureUnit);
    operands.Append("s->texture_units[%u].", unit);
    constexpr uint32_t levelsStart = offsetof(TextureUnit, b.levels);
    if (inside >= levelsStart && inside < levelsStart + sizeof(TextureUnitBuffer::levels)) {
        operands.Append("b.levels[%u]", (inside - levelsStart) / 4);
        return true;
    }
    for (const NamedField& field : kUnitFields) {
        if (field.offset == inside) {
            operands.Append("%s", field.name);
            break;
        }
    }
    return true;
}

bool AppendFieldName(uint32_t offset, TextAppender& operands, bool polygonNames) {
    for (const NamedArray& array : kArrayFields) {
        if (offset >= array.offset && offset < array.offset + array.bytes) {
            operands.Append("s->%s[%u]", polygonNames ? array.polygonName : array.triangleName,
                            (offset - array.offset) / 4);
            return true;
        }
    }
    for (const NamedField& field : kSingleFields) {
        if (field.offset == offset) {
            operands.Append("s->%s", field.name);
            return true;
        }
    }
    return AppendUnitField(offset, operands);
}

const char* NameOrUnknown(const char* const* names, int32_t count, int32_t index, const char* unknown) {
    return index >= 0 && index < count ? names[index] : unknown;
}

}  // namespace

const char* ConditionName(int32_t condition) { return NameOrUnknown(kConditionNames, 16, condition, "?CC"); }
const char* OpcodeName(int32_t opcode) { return NameOrUnknown(kOpcodeNames, 16, opcode, "?IN"); }
const char* ShiftName(int32_t shiftBits) { return NameOrUnknown(kShiftNames, 8, shiftBits, "?SN"); }
const char* BlockModeName(int32_t mode) { return NameOrUnknown(kBlockModeNames, 4, mode, "?MN"); }

void DescribeStateOperand(uint32_t instruction, char* operands, size_t operandsCapacity, bool polygonNames) {
    TextAppender text(operands, operandsCapacity);
    const uint32_t offset = Field(instruction, 0, 12);
    if (Rn(instruction) == kRecordBaseRegister && Bit(instruction, 23) == 1 &&
        AppendFieldName(offset, text, polygonNames)) {
        return;
    }
    text.Append("r%u,#%s%u", Rn(instruction), Minus(instruction), offset);
}

void DisassembleSpanCode(uint32_t instruction, int32_t label, char* mnemonic, size_t mnemonicCapacity,
                         char* operands, size_t operandsCapacity, bool polygonNames) {
    TextAppender mnemonicText(mnemonic, mnemonicCapacity);
    TextAppender operandText(operands, operandsCapacity);
    mnemonicText.Clear();
    operandText.Clear();
    switch (Field(instruction, 25, 3)) {
        case 0:
            if (Field(instruction, 4, 4) == 0x9) DisassembleMultiply(instruction, mnemonicText, operandText);
            else if (Field(instruction, 4, 4) == 0xB) DisassembleHalfword(instruction, mnemonicText, operandText);
            else DisassembleRegisterDataProcessing(instruction, mnemonicText, operandText);
            break;
        case 1:
            DisassembleImmediateDataProcessing(instruction, mnemonicText, operandText);
            break;
        case 2:
            DisassembleImmediateTransfer(instruction, mnemonicText, operandText, operands, operandsCapacity,
                                         polygonNames);
            break;
        case 3:
            DisassembleRegisterTransfer(instruction, mnemonicText, operandText);
            break;
        case 4:
            DisassembleBlockTransfer(instruction, mnemonicText, operandText);
            break;
        case 5:
            DisassembleBranch(instruction, label, mnemonicText, operandText);
            break;
        default:
            // Coprocessor and software-interrupt space: nothing to print.
            break;
    }
}
