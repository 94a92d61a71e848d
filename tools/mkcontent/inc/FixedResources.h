#ifndef FIXEDRESOURCES_H
#define FIXEDRESOURCES_H

#include <cstdint>
#include <vector>

// The resources the game asks for by a fixed handle, with the kind of
// resource it expects there.
class FixedResources {
public:
    enum class Kind { Image, Binary, Keyset, Sound, Text };

    struct Resource {
        uint32_t handle;
        Kind kind;
        const char* role;
        // Level data comes with the levels; until a content tree has them
        // these handles are checked only when present.
        bool levelData;
    };

    static const std::vector<Resource>& All();
    // The type word the compiler writes for a kind.
    static uint32_t TypeWordOf(Kind kind);
    static const char* NameOf(Kind kind);
};

#endif
