#ifndef CSTRINGTOKEY_H
#define CSTRINGTOKEY_H

#include "EngineTypes.h"

// The one hash that names classes, events, listeners, properties and
// resources: start with the length, then for each byte rotate left by 4 and
// XOR the byte sign-extended to 32 bits.
class CStringToKey {
public:
    // A null text hashes like the empty text.
    static uint32_t HashBytes(const char* text, bool caseInsensitive);
    static uint32_t Hash(const char* text, bool caseInsensitive) { return HashBytes(text, caseInsensitive); }
    // The wide text narrowed (units above 0xFF become '?') and hashed.
    static uint32_t FromWide(const WChar* text, bool caseInsensitive);

    // Keeps bits 0 to 30 - n of the key and sets bit 31 - n: n = 0 marks
    // name keys, n = 1 run-time ids.
    static constexpr uint32_t TagKey(uint32_t key, uint32_t n) {
        const uint32_t tagBit = 1u << (31 - n);
        return (key & (tagBit - 1)) | tagBit;
    }
};

// The name key of a text: its hash tagged with bit 31.
uint32_t StringToKey(const char* text);

#endif
