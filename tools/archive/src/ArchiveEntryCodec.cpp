#include "ArchiveEntryCodec.h"

#include "LittleEndianReader.h"
#include "LittleEndianWriter.h"

#include <zlib.h>

namespace {

// Deflate cannot expand data by more than about 1032 times, so a larger
// claimed unpacked size is a lie and is refused before anything is allocated.
constexpr uint64_t kMaxInflateRatio = 1032;

}  // namespace

bool ArchiveEntryCodec::Encode(const std::vector<uint8_t>& payload, bool deflate, uint16_t headerSize,
                               std::vector<uint8_t>& out, std::string& error) {
    if (headerSize < kMinHeaderSize) {
        error = "entry header size " + std::to_string(headerSize) + " is below 4";
        return false;
    }
    if (payload.empty()) {
        error = "entry payload is empty (the engine cannot open an empty entry)";
        return false;
    }
    if (payload.size() > UINT32_MAX) {
        error = "entry payload is larger than 4 GiB";
        return false;
    }
    out.clear();
    LittleEndianWriter writer(out);
    writer.U16(headerSize);
    writer.U8(deflate ? kDeflatedFlag : 0);
    writer.U8(0);
    writer.Zeros(headerSize - kMinHeaderSize);
    if (!deflate) {
        writer.Bytes(payload);
        return true;
    }
    std::vector<uint8_t> packed;
    if (!Deflate(payload, packed, error)) return false;
    writer.U32(static_cast<uint32_t>(payload.size()));
    writer.U32(static_cast<uint32_t>(packed.size()));
    writer.Bytes(packed);
    return true;
}

bool ArchiveEntryCodec::Deflate(const std::vector<uint8_t>& payload, std::vector<uint8_t>& out,
                                std::string& error) {
    uLongf packedSize = compressBound(static_cast<uLong>(payload.size()));
    out.resize(packedSize);
    const int result = compress2(out.data(), &packedSize, payload.data(),
                                 static_cast<uLong>(payload.size()), Z_BEST_COMPRESSION);
    if (result != Z_OK) {
        error = "deflate failed (zlib error " + std::to_string(result) + ")";
        return false;
    }
    out.resize(packedSize);
    return true;
}

bool ArchiveEntryCodec::Decode(const uint8_t* entry, size_t size, DecodedEntry& out, std::string& error) {
    LittleEndianReader reader(entry, size);
    out = DecodedEntry();
    out.headerSize = reader.U16();
    out.flags = reader.U8();
    reader.Skip(1);
    if (!reader.Ok() || out.headerSize < kMinHeaderSize) {
        error = "entry of " + std::to_string(size) + " bytes has no valid header";
        return false;
    }
    if (out.headerSize >= size) {
        error = "entry header size " + std::to_string(out.headerSize) + " leaves no payload in " +
                std::to_string(size) + " bytes";
        return false;
    }
    reader.Seek(out.headerSize);
    out.compressed = (out.flags & kDeflatedFlag) != 0;
    if (!out.compressed) {
        out.payload.assign(entry + out.headerSize, entry + size);
        return true;
    }
    const uint32_t unpackedSize = reader.U32();
    out.packedSize = reader.U32();
    if (!reader.Ok()) {
        error = "deflated entry is too short for its size words";
        return false;
    }
    if (out.packedSize > reader.Remaining()) {
        error = "deflated entry claims " + std::to_string(out.packedSize) + " packed bytes but holds " +
                std::to_string(reader.Remaining());
        return false;
    }
    return Inflate(entry + reader.Position(), out.packedSize, unpackedSize, out.payload, error);
}

bool ArchiveEntryCodec::Inflate(const uint8_t* packed, uint32_t packedSize, uint32_t unpackedSize,
                                std::vector<uint8_t>& out, std::string& error) {
    if (unpackedSize > static_cast<uint64_t>(packedSize) * kMaxInflateRatio + 64) {
        error = "deflated entry claims " + std::to_string(unpackedSize) + " bytes from only " +
                std::to_string(packedSize) + " packed bytes";
        return false;
    }
    out.resize(unpackedSize);
    uLongf producedSize = unpackedSize;
    const int result = uncompress(out.data(), &producedSize, packed, packedSize);
    if (result != Z_OK || producedSize != unpackedSize) {
        error = "deflate data is broken or does not inflate to the stated " + std::to_string(unpackedSize) +
                " bytes";
        return false;
    }
    return true;
}
