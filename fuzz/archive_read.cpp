// The archive reader, entry streams, inflating streams and packs on
// arbitrary archive files: every entry of every id is opened, inflated and
// raw, read in varied steps, and loaded as a pack. Nothing may read out of
// bounds or spin, and the streams' byte counts must stay consistent.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "CAggregateResource.h"
#include "CBigFileReader.h"
#include "CBigFileResourceInputStream.h"
#include "CHash.h"
#include "CSingleton.h"
#include "FuzzCheck.h"
#include "HostPath.h"
#include "ICFileMgr.h"

namespace {

constexpr uint32_t kMaxIds = 0x8000;
// Pack member ids tried per pack; seeds keep theirs below this.
constexpr uint32_t kPackIdsTried = 256;
// Bytes read per entry at most, so that a lying unpacked size cannot make a
// run slow.
constexpr uint32_t kReadBudget = 1u << 20;

const std::string& ArchivePath() {
    static const std::string path = [] {
        std::random_device random;
        return (std::filesystem::temp_directory_path() /
                ("archive_read_fuzz_" + std::to_string(random()) + std::to_string(random()) + ".big"))
            .string();
    }();
    return path;
}

bool WriteArchive(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(ArchivePath().c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// Reads the stream to its end in steps of varied sizes, skipping some.
void Drain(CBigFileResourceInputStream& stream) {
    static uint8_t buffer[5000];
    const uint32_t steps[] = {1, 4, 255, 4096, 7, 5000, 2};
    uint32_t budget = kReadBudget;
    for (uint32_t i = 0; !stream.HasError() && stream.Available() > 0 && budget > 0; ++i) {
        const uint32_t before = stream.Available();
        uint32_t step = steps[i % 7];
        if (step > before) step = before;
        if (i % 4 == 3) {
            stream.Skip(step);
        } else {
            stream.Read(buffer, step);
        }
        Check(stream.HasError() ? stream.Available() == 0 : stream.Available() == before - step);
        budget = budget > step ? budget - step : 0;
    }
}

void ReadPack(CBigFileReader& reader, uint32_t id) {
    CBigFileResourceInputStream entry;
    if (!entry.OpenEntry(&reader, id, true) || entry.Available() > kReadBudget) return;
    CAggregateResource pack;
    if (!pack.Load(entry, 0)) return;
    for (uint32_t member = 0; member < kPackIdsTried; ++member) {
        if (!pack.Contains(member)) continue;
        std::vector<uint8_t> copy(pack.GetEntrySize(member));
        Check(copy.empty() || pack.CopyEntry(member, copy.data()));
        CBigFileResourceInputStream stream;
        if (stream.OpenFromPack(&pack, member, true)) Drain(stream);
        if (stream.OpenFromPack(&pack, member, false)) Drain(stream);
    }
}

void ReadEntry(CBigFileReader& reader, uint32_t id) {
    const uint32_t size = reader.GetEntrySize(id);
    if (size > 0) Check(reader.SeekToEntry(id));
    for (const bool inflate : {true, false}) {
        CBigFileResourceInputStream stream;
        if (!stream.OpenEntry(&reader, id, inflate)) continue;
        if (!inflate || !stream.IsCompressed()) Check(stream.Available() < size);
        Drain(stream);
    }
    ReadPack(reader, id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!WriteArchive(data, size)) return 0;
    CHash table;
    Check(table.Init(20, 20, true));
    CSingleton::SetTable(&table);
    {
        CBigFileReader reader;
        const std::u16string path = HostPath::ToWide(ArchivePath());
        if (reader.Open(path.c_str())) {
            for (uint32_t id = 0; id < kMaxIds; ++id) {
                if (reader.FindEntry(id) >= 0) ReadEntry(reader, id);
            }
        }
    }
    delete CSingleton::GetInstance(ICFileMgr::kClassKey);
    CSingleton::SetTable(nullptr);
    std::remove(ArchivePath().c_str());
    return 0;
}
