#ifndef CBLITUTIL_H
#define CBLITUTIL_H

#include "CSingleton.h"

// Every blit routine takes one pointer to the descriptor record of its kind
// (BlitCopyDesc, BlitSolidDesc or BlitDecodeDesc) and answers nothing.
typedef void (*BlitRoutine)(const void* descriptor);

// Kinds of blit routine.
constexpr uint32_t kBlitKindCopy = 0;
constexpr uint32_t kBlitKindLine = 1;
constexpr uint32_t kBlitKindDecode = 2;
constexpr uint32_t kBlitKindFill = 3;

// Modes: plain, transparency requested (decodes), colour key (copies).
constexpr uint32_t kBlitModePlain = 0;
constexpr uint32_t kBlitModeTransparent = 1;
constexpr uint32_t kBlitModeColorKey = 2;

// One registry entry, and also the lookup request: the caller fills the six
// key words and the lookup writes the routine.
struct BlitEntry {
    uint32_t sourceFormat;  // 0 in an entry: any source format
    uint32_t destFormat;
    uint32_t mode;
    uint32_t option1;       // 1: the caller's alpha capability is on
    uint32_t option2;       // blend code: 0 none, 1 constant alpha, 3 per-channel blend
    uint32_t kind;
    BlitRoutine routine;
};

// The process-wide table of blit routines, filled once when the graphics
// device initialises and searched by every drawing call that needs a routine.
class CBlitUtil : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x4AE1222B;
    static constexpr int32_t kCapacity = 55;

    ~CBlitUtil() override = default;

    // The registered instance, created on first use; null only when it can
    // be neither found nor made.
    static CBlitUtil* GetInstance();

    // Appends an entry. A null routine or a full table is a programming
    // error: reported and not stored.
    static void RegisterBlitter(uint32_t sourceFormat, uint32_t destFormat, uint32_t mode, uint32_t option1,
                                uint32_t option2, uint32_t kind, BlitRoutine routine);

    // First entry, in registration order, that matches the request; its
    // routine goes into request->routine. On a miss the routine is cleared
    // and the answer is false.
    static bool FindBlitter(BlitEntry* request);

    // Option 2 as the lookup compares it: 2 and 5 fold to 1, 4 folds to 3.
    static uint32_t FoldBlendCode(uint32_t option2);

    int32_t GetEntryCount() const { return m_count; }
    // Entry i in registration order, or null outside the filled range.
    const BlitEntry* GetEntry(int32_t index) const;

private:
    CBlitUtil();

    void Append(const BlitEntry& entry);
    const BlitEntry* Match(const BlitEntry& request) const;

    int32_t m_count;
    BlitEntry m_entries[kCapacity];
};

#endif
