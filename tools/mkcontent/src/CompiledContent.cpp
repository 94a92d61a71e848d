#include "CompiledContent.h"

#include "ContentTypes.h"

const ContentEntry* CompiledContent::Find(uint32_t archiveId) const {
    for (const ContentEntry& entry : entries) {
        if (ContentHandles::ArchiveId(entry.handle) == archiveId) return &entry;
    }
    return nullptr;
}
