#include "MemTrack.h"

#include "CAssert.h"
#include "CMemory.h"

namespace {

struct MemTrackRecord {
    MemTrackRecord* next;
    uint32_t sequence;
    size_t size;
    void* block;
};

constexpr uint8_t kGuard[] = {0xAA, 0xCC, 0xAA, 0xCC};
constexpr size_t kGuardBytes = sizeof(kGuard);

uint32_t g_sequence = 0;
size_t g_totalBytes = 0;
MemTrackRecord* g_head = nullptr;

// The caller's file as the reports name it.
const char* SourceName(const char* sourceFile) {
    return sourceFile != nullptr ? MemTrackBaseName(sourceFile) : "(unknown)";
}

void WriteGuard(uint8_t* end) {
    for (size_t i = 0; i < kGuardBytes; ++i) end[i] = kGuard[i];
}

bool GuardIntact(const uint8_t* end) {
    for (size_t i = 0; i < kGuardBytes; ++i) {
        if (end[i] != kGuard[i]) return false;
    }
    return true;
}

// The link that points at the block's record, or null when it is untracked.
MemTrackRecord** FindLink(const void* block) {
    for (MemTrackRecord** link = &g_head; *link != nullptr; link = &(*link)->next) {
        if ((*link)->block == block) return link;
    }
    return nullptr;
}

// The checks and bookkeeping shared by release and untrack.
void Forget(void* block, const char* sourceFile) {
    MemTrackRecord** link = FindLink(block);
    if (link == nullptr) return;
    MemTrackRecord* record = *link;
    const bool intact = GuardIntact(static_cast<const uint8_t*>(block) + record->size);
    if (!intact) {
        DebugPrintf("MemTrack: overrun of block #%u (%zu bytes) released in %s", record->sequence, record->size,
                    SourceName(sourceFile));
    }
    ASSERT(intact);
    g_totalBytes -= record->size;
    *link = record->next;
    FreeMemory(record);
}

bool CheckNotNull(const void* block, const char* what, const char* sourceFile) {
    if (block == nullptr) DebugPrintf("MemTrack: %s of null in %s", what, SourceName(sourceFile));
    ASSERT(block != nullptr);
    return block != nullptr;
}

}  // namespace

void* MemTrackAlloc(size_t size, const char* sourceFile) {
    if (size == 0) DebugPrintf("MemTrack: allocation of 0 bytes in %s", SourceName(sourceFile));
    ASSERT(size != 0);
    if (size == 0 || size > SIZE_MAX - kGuardBytes) return nullptr;
    ++g_sequence;
    uint8_t* block = static_cast<uint8_t*>(MemAllocNonZero(size + kGuardBytes));
    if (block == nullptr) return nullptr;
    MemTrackRecord* record = static_cast<MemTrackRecord*>(MemAllocNonZero(sizeof(MemTrackRecord)));
    ASSERT(record != nullptr);
    if (record == nullptr) return block;
    WriteGuard(block + size);
    g_totalBytes += size;
    *record = MemTrackRecord{g_head, g_sequence, size, block};
    g_head = record;
    return block;
}

void MemTrackFree(void* block, const char* sourceFile) {
    if (!CheckNotNull(block, "release", sourceFile)) return;
    Forget(block, sourceFile);
    FreeMemory(block);
}

void MemTrackUntrack(void* block, const char* sourceFile) {
    if (!CheckNotNull(block, "untrack", sourceFile)) return;
    Forget(block, sourceFile);
}

uint32_t MemTrackWalk() {
    uint32_t records = 0;
    for (const MemTrackRecord* record = g_head; record != nullptr; record = record->next) ++records;
    return records;
}

void MemTrackForgetAll() {
    while (g_head != nullptr) {
        MemTrackRecord* record = g_head;
        g_head = record->next;
        g_totalBytes -= record->size;
        FreeMemory(record);
    }
}

const char* MemTrackBaseName(const char* path) {
    if (path == nullptr) return nullptr;
    const char* base = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/') base = c + 1;
    }
    return base;
}

size_t MemTrackTotalBytes() { return g_totalBytes; }

uint32_t MemTrackSequence() { return g_sequence; }
