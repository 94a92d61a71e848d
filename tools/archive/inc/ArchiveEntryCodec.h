#ifndef ARCHIVEENTRYCODEC_H
#define ARCHIVEENTRYCODEC_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An entry as found in an archive or a pack: its small header and its
// payload, inflated when it was stored deflated.
struct DecodedEntry {
    uint16_t headerSize = 0;
    uint8_t flags = 0;
    bool compressed = false;
    uint32_t packedSize = 0;  // deflate bytes; 0 for a stored entry
    std::vector<uint8_t> payload;
};

// The bytes of one archive or pack entry: u16 header size, u8 flags (bit 7 =
// deflated), u8 unused, header-size - 4 further header bytes, then the payload
// as it is, or as u32 unpacked size, u32 packed size and zlib data.
class ArchiveEntryCodec {
public:
    static constexpr uint8_t kDeflatedFlag = 0x80;
    static constexpr uint16_t kMinHeaderSize = 4;
    static constexpr uint32_t kDeflatedPrefixSize = 8;

    // The engine cannot open an entry without payload, so an empty payload
    // is refused, as is a header size below 4.
    static bool Encode(const std::vector<uint8_t>& payload, bool deflate, uint16_t headerSize,
                       std::vector<uint8_t>& out, std::string& error);

    // Parses and, when deflated, inflates an entry, checking every size
    // against the bytes there are.
    static bool Decode(const uint8_t* entry, size_t size, DecodedEntry& out, std::string& error);

private:
    static bool Deflate(const std::vector<uint8_t>& payload, std::vector<uint8_t>& out, std::string& error);
    static bool Inflate(const uint8_t* packed, uint32_t packedSize, uint32_t unpackedSize,
                        std::vector<uint8_t>& out, std::string& error);
};

#endif
