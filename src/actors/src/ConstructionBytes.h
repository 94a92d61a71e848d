#ifndef CONSTRUCTIONBYTES_H
#define CONSTRUCTIONBYTES_H

#include <cstdint>

// What the construction blocks of the actor types share.
namespace ConstructionBytes {

constexpr bool kLoop = true;
constexpr bool kOnce = false;

// Extra bytes of a spawn template are signed; a byte the spawn data does not
// have reads 0.
inline int32_t Extra(const int8_t* extra, int32_t extraCount, int32_t n) {
    return extra != nullptr && n < extraCount ? extra[n] : 0;
}

}  // namespace ConstructionBytes

#endif
