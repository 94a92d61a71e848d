#include "BlitTable.h"

#include "BlitCopy.h"
#include "BlitDecode.h"
#include "BlitLineFill.h"
#include "CBlitUtil.h"
#include "CColor.h"

namespace {

constexpr uint32_t kAny = 0;
constexpr uint32_t kP256 = RSBFormat_P256X8R8G8B8;
constexpr uint32_t kP16 = RSBFormat_P16X8R8G8B8;
constexpr uint32_t kR565 = RSBFormat_R5G6B5;
constexpr uint32_t kX14 = RSBFormat_X14R6G6B6;
constexpr uint32_t kX8 = RSBFormat_X8R8G8B8;

constexpr uint32_t kPlain = kBlitModePlain;
constexpr uint32_t kKey = kBlitModeColorKey;
constexpr uint32_t kTransparent = kBlitModeTransparent;

constexpr BlitEntry kTable[kBlitTableRows] = {
    {kR565, kR565, kPlain, 0, 0, kBlitKindCopy, Blit_R5G6B5},
    {kR565, kR565, kKey, 0, 0, kBlitKindCopy, Blit_R5G6B5_ColorKey},
    {kR565, kR565, kKey, 0, 1, kBlitKindCopy, Blit_R5G6B5_ColorKeyAlpha},
    {kP256, kR565, kPlain, 0, 0, kBlitKindCopy, Blit_P256_R5G6B5},
    {kP256, kR565, kKey, 0, 0, kBlitKindCopy, Blit_P256_R5G6B5_ColorKey},
    {kP256, kR565, kKey, 0, 1, kBlitKindCopy, Blit_P256_R5G6B5_ColorKeyAlpha},
    {kX14, kX14, kPlain, 0, 0, kBlitKindCopy, Blit_X14R6G6B6},
    {kX14, kX14, kKey, 0, 0, kBlitKindCopy, Blit_X14R6G6B6_ColorKey},
    {kX14, kX14, kKey, 0, 1, kBlitKindCopy, Blit_X14R6G6B6_ColorKeyAlpha},
    {kP256, kX14, kPlain, 0, 0, kBlitKindCopy, Blit_P256_X14R6G6B6},
    {kP256, kX14, kKey, 0, 0, kBlitKindCopy, Blit_P256_X14R6G6B6_ColorKey},
    {kP256, kX14, kKey, 0, 1, kBlitKindCopy, Blit_P256_X14R6G6B6_ColorKeyAlpha},
    {kX8, kX8, kPlain, 0, 0, kBlitKindCopy, Blit_X8R8G8B8},
    {kX8, kX8, kKey, 0, 0, kBlitKindCopy, Blit_X8R8G8B8_ColorKey},
    {kX8, kX8, kKey, 0, 1, kBlitKindCopy, Blit_X8R8G8B8_ColorKeyAlpha},
    {kP256, kX8, kPlain, 0, 0, kBlitKindCopy, Blit_P256_X8R8G8B8},
    {kP256, kX8, kKey, 0, 0, kBlitKindCopy, Blit_P256_X8R8G8B8_ColorKey},
    {kP256, kX8, kKey, 0, 1, kBlitKindCopy, Blit_P256_X8R8G8B8_ColorKeyAlpha},

    {kAny, kR565, kPlain, 0, 0, kBlitKindLine, DrawLine_R5G6B5},
    {kAny, kR565, kPlain, 1, 0, kBlitKindLine, DrawLine_R5G6B5_AlphaTest},
    {kAny, kR565, kPlain, 1, 3, kBlitKindLine, DrawLine_R5G6B5_Blend},
    {kAny, kX14, kPlain, 0, 0, kBlitKindLine, DrawLine_X14R6G6B6},
    {kAny, kX14, kPlain, 1, 0, kBlitKindLine, DrawLine_X14R6G6B6_AlphaTest},
    {kAny, kX14, kPlain, 1, 3, kBlitKindLine, DrawLine_X14R6G6B6_Blend},
    {kAny, kX8, kPlain, 0, 0, kBlitKindLine, DrawLine_X8R8G8B8},
    {kAny, kX8, kPlain, 1, 0, kBlitKindLine, DrawLine_X8R8G8B8_AlphaTest},
    {kAny, kX8, kPlain, 1, 3, kBlitKindLine, DrawLine_X8R8G8B8_Blend},

    {kAny, kR565, kPlain, 0, 0, kBlitKindFill, FillRect_R5G6B5},
    {kAny, kR565, kPlain, 1, 0, kBlitKindFill, FillRect_R5G6B5_AlphaTest},
    {kAny, kR565, kPlain, 1, 3, kBlitKindFill, FillRect_R5G6B5_Blend},
    {kAny, kX14, kPlain, 0, 0, kBlitKindFill, FillRect_X14R6G6B6},
    {kAny, kX14, kPlain, 1, 0, kBlitKindFill, FillRect_X14R6G6B6_AlphaTest},
    {kAny, kX14, kPlain, 1, 3, kBlitKindFill, FillRect_X14R6G6B6_Blend},
    {kAny, kX8, kPlain, 0, 0, kBlitKindFill, FillRect_X8R8G8B8},
    {kAny, kX8, kPlain, 1, 0, kBlitKindFill, FillRect_X8R8G8B8_AlphaTest},
    {kAny, kX8, kPlain, 1, 3, kBlitKindFill, FillRect_X8R8G8B8_Blend},

    {RSBFormat_R8G8B8, kR565, kPlain, 0, 0, kBlitKindDecode, Decode_R8G8B8_R5G6B5},
    {kP16, kR565, kPlain, 0, 0, kBlitKindDecode, Decode_P16_R5G6B5},
    {kP256, kR565, kPlain, 0, 0, kBlitKindDecode, Decode_P256_R5G6B5},
    // An r5g6b5 plane has no alpha: keyed pixels decode as ordinary colours.
    {kP256, kR565, kTransparent, 0, 0, kBlitKindDecode, Decode_P256_R5G6B5},
    {kP16, RSBFormat_A1R5G5B5, kTransparent, 0, 0, kBlitKindDecode, Decode_P16_A1R5G5B5},
    {kP256, RSBFormat_A1R5G5B5, kTransparent, 0, 0, kBlitKindDecode, Decode_P256_A1R5G5B5},
    {kP256, RSBFormat_A4R4G4B4, kTransparent, 0, 0, kBlitKindDecode, Decode_P256_A4R4G4B4},
    {kP16, kX14, kPlain, 0, 0, kBlitKindDecode, Decode_P16_X14R6G6B6},
    {kP256, kX14, kPlain, 0, 0, kBlitKindDecode, Decode_P256_X14R6G6B6},
    {RSBFormat_R8G8B8, kX8, kPlain, 0, 0, kBlitKindDecode, Decode_R8G8B8_X8R8G8B8},
    {kP16, kX8, kPlain, 0, 0, kBlitKindDecode, Decode_P16_X8R8G8B8},
    {kP256, kX8, kPlain, 0, 0, kBlitKindDecode, Decode_P256_X8R8G8B8},
    {kP16, kP256, kPlain, 0, 0, kBlitKindDecode, Decode_P16_P256},
    {kP256, kP256, kPlain, 0, 0, kBlitKindDecode, Decode_P256_P256},
};

bool SameEntry(const BlitEntry& a, const BlitEntry& b) {
    return a.sourceFormat == b.sourceFormat && a.destFormat == b.destFormat && a.mode == b.mode &&
           a.option1 == b.option1 && a.option2 == b.option2 && a.kind == b.kind && a.routine == b.routine;
}

bool TableAlreadyRegistered(const CBlitUtil& registry) {
    if (registry.GetEntryCount() < kBlitTableRows) return false;
    for (int32_t i = 0; i < kBlitTableRows; ++i) {
        if (!SameEntry(*registry.GetEntry(i), kTable[i])) return false;
    }
    return true;
}

}  // namespace

void RegisterBlitTable() {
    const CBlitUtil* registry = CBlitUtil::GetInstance();
    if (registry != nullptr && TableAlreadyRegistered(*registry)) return;
    for (const BlitEntry& row : kTable) {
        CBlitUtil::RegisterBlitter(row.sourceFormat, row.destFormat, row.mode, row.option1, row.option2, row.kind,
                                   row.routine);
    }
}
