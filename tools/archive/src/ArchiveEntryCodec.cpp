#include "ArchiveEntryCodec.h"

#include "LittleEndianReader.h"
#include "LittleEndianWriter.h"

#include <zlib.h>

#include <algorithm>

namespace {

// Deflate cannot expand data by more than about 1032 times, so a larger
// claimed unpacked size is a lie and is refused before anything is allocated.
constexpr uint64_t kMaxInflateRatio = 1032;
constexpr uint64_t kInflateSlack = 64;
// The engine's entry stream inflates short reads through a window this long.
constexpr size_t kEngineWindowSize = 4096;

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

// Inflates as the engine's entry stream does when a loader reads the whole
// payload at once: straight into the output when it is at least a window
// long, else through a window, and done once the stated size has come, with
// or without the rest of the zlib stream (its Adler-32 trailer among it).
// A call that fails, or moves nothing, or a stream that ends short, fails.
bool ArchiveEntryCodec::Inflate(const uint8_t* packed, uint32_t packedSize, uint32_t unpackedSize,
                                std::vector<uint8_t>& out, std::string& error) {
    if (unpackedSize > static_cast<uint64_t>(packedSize) * kMaxInflateRatio + kInflateSlack) {
        error = "deflated entry claims " + std::to_string(unpackedSize) + " bytes from only " +
                std::to_string(packedSize) + " packed bytes";
        return false;
    }
    out.assign(unpackedSize, 0);
    z_stream inflater = {};
    if (inflateInit(&inflater) != Z_OK) {
        error = "the inflater could not start";
        return false;
    }
    inflater.next_in = const_cast<Bytef*>(packed);
    inflater.avail_in = packedSize;
    std::vector<uint8_t> window(kEngineWindowSize);
    size_t produced = 0;
    bool ended = false;
    bool ok = true;
    while (ok && produced < unpackedSize) {
        const size_t wanted = unpackedSize - produced;
        const bool direct = wanted >= kEngineWindowSize;
        uint8_t* target = direct ? out.data() + produced : window.data();
        const uInt capacity = static_cast<uInt>(direct ? wanted : kEngineWindowSize);
        const uInt inputBefore = inflater.avail_in;
        inflater.next_out = target;
        inflater.avail_out = capacity;
        const int result = ended ? Z_STREAM_ERROR : inflate(&inflater, Z_NO_FLUSH);
        const size_t step = capacity - inflater.avail_out;
        const bool moved = step > 0 || inflater.avail_in < inputBefore;
        ok = (result == Z_OK && moved) || result == Z_STREAM_END;
        ended = result == Z_STREAM_END;
        const size_t kept = step < wanted ? step : wanted;
        if (ok && !direct) std::copy(window.begin(), window.begin() + static_cast<long>(kept), out.begin() + static_cast<long>(produced));
        produced += ok ? kept : 0;
    }
    inflateEnd(&inflater);
    if (!ok) {
        error = "deflate data is broken or ends before the stated " + std::to_string(unpackedSize) + " bytes";
        return false;
    }
    return true;
}
