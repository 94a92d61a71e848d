// The archive reader, entry streams, inflating streams and packs on
// arbitrary archive files: every id the id table names (a sample of long
// ranges), their neighbours and a few ids that are absent are looked up;
// each entry found is opened, inflated and raw, read in varied steps, and
// loaded as a pack, whose member ids are tried the same way. Nothing may
// read out of bounds or spin, the streams' byte counts must stay
// consistent, and an id without an entry must not open. The archive is
// served from memory through the file manager.

#include <bitset>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "CAggregateResource.h"
#include "CArrayInputStream.h"
#include "CBigFileReader.h"
#include "CBigFileResourceInputStream.h"
#include "FuzzCheck.h"
#include "LittleEndianReader.h"
#include "MemoryFileMgr.h"

namespace {

// Ids looked up per archive and per pack at most, and per range of ids.
constexpr size_t kMostIdsTried = 256;
constexpr size_t kMostMemberIdsTried = 64;
constexpr uint32_t kIdsTriedPerRange = 4;
// Bytes read per entry at most, so that a lying unpacked size cannot make a
// run slow.
constexpr uint32_t kReadBudget = 1u << 18;
// Where the header keeps the flags and the id table's offset and count.
constexpr size_t kFlagsOffset = 6;
constexpr size_t kIdTableOffsetField = 8;

static_assert(CAggregateResource::kIdMask == CBigFileReader::kIdMask, "packs and archives share one id space");

// The ids to try, each once whatever its bits above the id mask; both ends
// of the id space come first.
class IdsToTry {
public:
    explicit IdsToTry(size_t most) : m_most(most) {
        Add(0);
        Add(CBigFileReader::kIdMask);
    }
    void Add(uint32_t id) {
        const uint32_t key = id & CBigFileReader::kIdMask;
        if (Full() || m_seen.test(key)) return;
        m_seen.set(key);
        m_ids.push_back(id);
    }
    bool Full() const { return m_ids.size() >= m_most; }
    const std::vector<uint32_t>& Ids() const { return m_ids; }

private:
    size_t m_most;
    std::bitset<CBigFileReader::kIdMask + 1> m_seen;
    std::vector<uint32_t> m_ids;
};

// A range's first ids, its last one and the ids just outside it.
void AddRange(IdsToTry& ids, uint32_t firstId, uint32_t count) {
    ids.Add(firstId - 1);
    for (uint32_t k = 0; k < count && k < kIdsTriedPerRange; ++k) ids.Add(firstId + k);
    ids.Add(firstId + count - 1);
    ids.Add(firstId + count);
}

// Read from the raw input, independently of the reader under test, so that
// ids it would miss through a fault are tried all the same.
IdsToTry CollectIds(const uint8_t* data, size_t size) {
    IdsToTry ids(kMostIdsTried);
    LittleEndianReader header(data, size);
    header.Seek(kFlagsOffset);
    const bool ranges = (header.U8() & CBigFileReader::kRangesFlag) != 0;
    header.Seek(kIdTableOffsetField);
    const uint32_t tableOffset = header.U32();
    const uint32_t records = header.U32();
    LittleEndianReader table(data, size);
    table.Seek(tableOffset);
    for (uint32_t record = 0; record < records && header.Ok() && table.Ok() && !ids.Full(); ++record) {
        const uint32_t firstId = table.U32();
        const uint32_t count = ranges ? table.U16() : 1;
        if (ranges) table.Skip(2);
        if (table.Ok()) AddRange(ids, firstId, count);
    }
    return ids;
}

// The same for a pack block: a base id and a count, or an id per member.
IdsToTry CollectMemberIds(const std::vector<uint8_t>& block) {
    IdsToTry ids(kMostMemberIdsTried);
    LittleEndianReader table(block.data(), block.size());
    const uint16_t flags = table.U16();
    const uint32_t count = table.U16();
    if ((flags & CAggregateResource::kConsecutiveIdsFlag) != 0) {
        const uint32_t baseId = table.U16();
        if (table.Ok()) AddRange(ids, baseId, count);
        return ids;
    }
    const size_t offsetBytes = (flags & CAggregateResource::kWideOffsetsFlag) != 0 ? 4 : 2;
    for (uint32_t member = 0; member < count && table.Ok() && !ids.Full(); ++member) {
        const uint32_t id = table.U16();
        table.Skip(offsetBytes);
        if (table.Ok()) AddRange(ids, id, 1);
    }
    return ids;
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

void ReadMember(const CAggregateResource& pack, uint32_t member) {
    std::vector<uint8_t> copy(pack.GetEntrySize(member));
    Check(copy.empty() || pack.CopyEntry(member, copy.data()));
    for (const bool inflate : {true, false}) {
        CBigFileResourceInputStream stream;
        if (stream.OpenFromPack(&pack, member, inflate)) Drain(stream);
    }
}

void CheckAbsentMember(const CAggregateResource& pack, uint32_t member) {
    uint8_t byte = 0;
    Check(pack.GetEntrySize(member) == 0 && pack.GetEntryWord(member) == 0 && !pack.CopyEntry(member, &byte));
    CBigFileResourceInputStream stream;
    Check(!stream.OpenFromPack(&pack, member, false));
}

// The entry's bytes, inflated, loaded as a pack from memory.
void ReadPack(CBigFileReader& reader, uint32_t id) {
    CBigFileResourceInputStream entry;
    if (!entry.OpenEntry(&reader, id, true) || entry.Available() > kReadBudget) return;
    std::vector<uint8_t> block(entry.Available());
    if (block.empty()) return;
    entry.Read(block.data(), static_cast<uint32_t>(block.size()));
    if (entry.HasError()) return;
    CArrayInputStream blockStream;
    Check(blockStream.Open(block.data(), static_cast<uint32_t>(block.size())));
    CAggregateResource pack;
    if (!pack.Load(blockStream, 0)) return;
    const IdsToTry members = CollectMemberIds(block);
    for (const uint32_t member : members.Ids()) {
        if (pack.Contains(member)) {
            ReadMember(pack, member);
        } else {
            CheckAbsentMember(pack, member);
        }
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

void CheckAbsent(CBigFileReader& reader, uint32_t id) {
    Check(reader.GetEntrySize(id) == 0 && reader.GetEntryTypeWord(id) == 0 && !reader.SeekToEntry(id));
    CBigFileResourceInputStream stream;
    Check(!stream.OpenEntry(&reader, id, false));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    MemoryFileMgr& files = MemoryFileMgr::Instance();
    files.Serve(data, static_cast<uint32_t>(size));
    CBigFileReader reader;
    if (!reader.Open(MemoryFileMgr::kFileName)) return 0;
    const IdsToTry ids = CollectIds(data, size);
    for (const uint32_t id : ids.Ids()) {
        if (reader.FindEntry(id) >= 0) {
            ReadEntry(reader, id);
        } else {
            CheckAbsent(reader, id);
        }
    }
    return 0;
}
