// Reading every entry of a 20 MiB archive of deflated entries through entry
// streams, against plain zlib uncompress of the same compressed payloads
// already in memory; and the engine's CRC-32 against zlib's crc32 over the
// same buffer.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "CBigFileReader.h"
#include "CBigFileResourceInputStream.h"
#include "CCrc32.h"
#include "CHash.h"
#include "CSingleton.h"
#include "HostPath.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kEntryCount = 80;
constexpr uint32_t kEntrySize = 256 * 1024;  // 80 entries: 20 MiB unpacked
constexpr uint32_t kCrcBufferSize = 8 * 1024 * 1024;

// Text-like bytes: words from a small vocabulary with some noise, which
// deflate about as well as the game's data.
Bytes MakePayload(std::mt19937& random) {
    static const char* const kWords[] = {"sprite ", "frame ", "level ", "actor ", "tile ", "0x21FF ",
                                         "boss ",   "jump ",  "fire ",  "menu ",  "\n",    "; "};
    Bytes payload;
    while (payload.size() < kEntrySize) {
        if (random() % 8 == 0) {
            payload.push_back(static_cast<uint8_t>(random()));
            continue;
        }
        const std::string word = kWords[random() % 12];
        payload.insert(payload.end(), word.begin(), word.end());
    }
    payload.resize(kEntrySize);
    return payload;
}

void PutU16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutU32(Bytes& out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// The archive and, for the reference, the same zlib data in memory.
struct ArchiveFixture {
    std::vector<Bytes> packed;
    std::string path;
    CHash singletons;
    CBigFileReader reader;

    ArchiveFixture() {
        std::mt19937 random(17);
        for (uint32_t i = 0; i < kEntryCount; ++i) {
            const Bytes payload = MakePayload(random);
            uLongf size = compressBound(kEntrySize);
            Bytes out(size);
            compress2(out.data(), &size, payload.data(), kEntrySize, Z_DEFAULT_COMPRESSION);
            out.resize(size);
            packed.push_back(out);
        }
        path = (std::filesystem::temp_directory_path() / "bench_archive.big").string();
        WriteArchive();
        singletons.Init(20, 20, true);
        CSingleton::SetTable(&singletons);
        reader.Open(HostPath::ToWide(path).c_str());
    }

    // A list-form archive: header, ids 1..n, entry table, entries of a
    // 4-byte header, the two size words and the zlib data.
    void WriteArchive() const {
        const uint32_t entryTable = 32 + 4 * kEntryCount;
        uint32_t offset = entryTable + 8 * (kEntryCount + 1);
        Bytes file;
        PutU32(file, 0);
        PutU32(file, 0);
        PutU32(file, 32);
        PutU32(file, kEntryCount);
        PutU32(file, entryTable);
        PutU32(file, kEntryCount);
        PutU32(file, 0);
        PutU32(file, 0);
        for (uint32_t i = 0; i < kEntryCount; ++i) PutU32(file, i + 1);
        for (const Bytes& data : packed) {
            PutU32(file, 0);
            PutU32(file, offset);
            offset += 12 + static_cast<uint32_t>(data.size());
        }
        PutU32(file, 0);
        PutU32(file, offset);
        for (const Bytes& data : packed) {
            PutU16(file, 4);
            PutU16(file, 0x80);
            PutU32(file, kEntrySize);
            PutU32(file, static_cast<uint32_t>(data.size()));
            file.insert(file.end(), data.begin(), data.end());
        }
        FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
    }
};

ArchiveFixture& Archive() {
    static ArchiveFixture fixture;
    return fixture;
}

void BM_ArchiveReadAllOurs(benchmark::State& state) {
    ArchiveFixture& archive = Archive();
    Bytes buffer(kEntrySize);
    for (auto _ : state) {
        for (uint32_t id = 1; id <= kEntryCount; ++id) {
            CBigFileResourceInputStream stream;
            stream.OpenEntry(&archive.reader, id, true);
            stream.Read(buffer.data(), stream.Available());
            if (stream.HasError()) state.SkipWithError("entry read failed");
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kEntryCount} * kEntrySize);
}
BENCHMARK(BM_ArchiveReadAllOurs)->Name("ArchiveReadAll/ours")->Unit(benchmark::kMillisecond);

void BM_ArchiveReadAllReference(benchmark::State& state) {
    ArchiveFixture& archive = Archive();
    Bytes buffer(kEntrySize);
    for (auto _ : state) {
        for (const Bytes& data : archive.packed) {
            uLongf size = kEntrySize;
            if (uncompress(buffer.data(), &size, data.data(), data.size()) != Z_OK) {
                state.SkipWithError("uncompress failed");
            }
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{kEntryCount} * kEntrySize);
}
BENCHMARK(BM_ArchiveReadAllReference)->Name("ArchiveReadAll/reference")->Unit(benchmark::kMillisecond);

const Bytes& CrcBuffer() {
    static const Bytes buffer = [] {
        std::mt19937 random(5);
        Bytes bytes(kCrcBufferSize);
        for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
        return bytes;
    }();
    return buffer;
}

void BM_Crc32Ours(benchmark::State& state) {
    const Bytes& buffer = CrcBuffer();
    Archive();  // the singleton table
    CCrc32 crc;
    for (auto _ : state) benchmark::DoNotOptimize(crc.Compute(buffer.data(), kCrcBufferSize));
    state.SetBytesProcessed(state.iterations() * int64_t{kCrcBufferSize});
}
BENCHMARK(BM_Crc32Ours)->Name("Crc32/ours")->Unit(benchmark::kMicrosecond);

void BM_Crc32Reference(benchmark::State& state) {
    const Bytes& buffer = CrcBuffer();
    for (auto _ : state) benchmark::DoNotOptimize(crc32(0, buffer.data(), kCrcBufferSize));
    state.SetBytesProcessed(state.iterations() * int64_t{kCrcBufferSize});
}
BENCHMARK(BM_Crc32Reference)->Name("Crc32/reference")->Unit(benchmark::kMicrosecond);

}  // namespace
