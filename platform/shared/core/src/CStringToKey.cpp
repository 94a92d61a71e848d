#include "CStringToKey.h"

#include "CAssert.h"
#include "CMemory.h"
#include "WideStr.h"

#include <cstring>

namespace {

uint32_t RotateLeft4(uint32_t value) { return (value << 4) | (value >> 28); }

}  // namespace

uint32_t CStringToKey::HashBytes(const char* text, bool caseInsensitive) {
    if (text == nullptr) return 0;
    const size_t length = std::strlen(text);
    uint32_t hash = static_cast<uint32_t>(length);
    for (size_t i = 0; i < length; ++i) {
        uint8_t byte = static_cast<uint8_t>(text[i]);
        if (caseInsensitive && byte >= 'A' && byte <= 'Z') byte = static_cast<uint8_t>(byte + 0x20);
        const uint32_t signExtended = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(byte)));
        hash = RotateLeft4(hash) ^ signExtended;
    }
    return hash;
}

uint32_t CStringToKey::FromWide(const WChar* text, bool caseInsensitive) {
    if (text == nullptr) return 0;
    const uint32_t length = WideStrLen(text);
    char* narrow = static_cast<char*>(MemAllocArray(static_cast<size_t>(length) + 1));
    ASSERT(narrow != nullptr);
    if (narrow == nullptr) return 0;
    NarrowFromWide(narrow, text, length + 1);
    const uint32_t key = HashBytes(narrow, caseInsensitive);
    MemFreeArray(narrow);
    return key;
}

uint32_t StringToKey(const char* text) { return CStringToKey::TagKey(CStringToKey::Hash(text, false), 0); }
