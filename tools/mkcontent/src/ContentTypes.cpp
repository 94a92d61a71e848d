#include "ContentTypes.h"

#include "ToolText.h"

const char* ContentTypes::NameOf(uint32_t typeWord) {
    switch (typeWord) {
        case kBinary:
            return "binary";
        case kKeyset:
            return "key set";
        case kUtf8Text:
            return "text";
        case kStringTable:
            return "string table";
        case kRawPcm:
            return "sound";
        case kImageDescriptor:
            return "image";
        case kBitmap:
            return "bitmap";
        default:
            return nullptr;
    }
}

std::string ContentTypes::Describe(uint32_t typeWord) {
    const char* name = NameOf(typeWord);
    return name != nullptr ? name : ToolText::Hex32(typeWord);
}

bool ContentHandles::IsPlainEntry(uint32_t handle) {
    const bool nameKey = (handle & 0x80000000u) != 0;
    const bool runtime = (handle & 0x40000000u) != 0;
    const bool packMember = (handle & 0x20000000u) != 0;
    const bool metaOrComposite = ((handle >> 24) & 0x1F) == 6;
    return !nameKey && !runtime && !packMember && !metaOrComposite;
}
