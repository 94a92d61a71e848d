#ifndef CONTENTENTRY_H
#define CONTENTENTRY_H

#include "SourceText.h"

#include <cstdint>
#include <vector>

// One compiled resource on its way into the archive (or a string table),
// with the source it was made from.
struct ContentEntry {
    uint32_t handle = 0;
    uint32_t typeWord = 0;
    std::vector<uint8_t> payload;
    SourcePlace origin;
};

#endif
