// The level map reader on arbitrary bytes, read whole and in the loader's
// slices. Whatever it reads, every index it keeps must name an entry of its
// table, so that the world can use the records without checking again.

#include <cstdint>

#include "CArrayInputStream.h"
#include "FuzzCheck.h"
#include "LevelMapData.h"

namespace {

// Slices of the template section per load, as the world's loader takes them.
constexpr uint32_t kTemplateSlices = 20;

void CheckTileTypes(const LevelMapData& map) {
    const auto& types = map.TileTypes();
    Check(types.empty() || types.size() == map.TileTypeCount() + LevelMapData::kBuiltInTileTypes);
    for (const LevelTileType& type : types) Check(type.flagBytes.size() >= LevelMapData::kMinTileFlags);
    for (uint8_t code : map.Collision().cells) Check(code <= map.EmptyCode());
}

void CheckLayer(const LevelTileLayer& layer) {
    Check(layer.cells.size() == static_cast<size_t>(layer.width) * layer.height);
}

void CheckTemplates(const LevelMapData& map) {
    const auto& templates = map.Templates();
    for (uint32_t i = 0; i < templates.size(); ++i) {
        const LevelTemplate& record = templates[i];
        if (!record.present) continue;
        Check(record.type >= kNoActorType && record.type < LevelMapData::kActorTypeCount);
        Check(record.createFlag <= 1);
        if (record.sharedTemplate != kNoTemplate) {
            Check(record.sharedTemplate >= 0 && static_cast<uint32_t>(record.sharedTemplate) < i);
            Check(templates[record.sharedTemplate].present && templates[record.sharedTemplate].HasSprite());
        }
    }
}

void CheckSpawnsAndRefs(const LevelMapData& map) {
    for (const LevelSpawn& spawn : map.Spawns()) {
        if (spawn.templateIndex == kNoTemplate) continue;
        Check(spawn.templateIndex >= 0 && static_cast<uint32_t>(spawn.templateIndex) < map.TemplateCount());
        const LevelTemplate& record = map.Templates()[spawn.templateIndex];
        Check(record.present && record.HasSprite());
    }
    for (int16_t ref : map.ActorRefs()) {
        Check(ref == LevelMapData::kNoSpawn || (ref >= 0 && static_cast<size_t>(ref) < map.Spawns().size()));
    }
    const LevelPlayerStart& start = map.PlayerStart();
    Check(!start.present || start.kind == kRefPlayerFormARight || start.kind == kRefPlayerFormALeft ||
          start.IsFormB());
}

void CheckMap(const LevelMapData& map) {
    CheckTileTypes(map);
    CheckLayer(map.Background());
    CheckLayer(map.Collision());
    CheckLayer(map.TileLayer());
    CheckTemplates(map);
    CheckSpawnsAndRefs(map);
}

bool ReadInSlices(CInputStream& in, LevelMapData* map) {
    if (!map->ReadBackground(in) || !map->ReadTileTypes(in) || !map->ReadCollision(in) ||
        !map->ReadTileLayer(in) || !map->ReadTemplateCount(in)) {
        return false;
    }
    const uint32_t slice = map->TemplateCount() / kTemplateSlices + 1;
    for (uint32_t step = 1; step <= kTemplateSlices; ++step) {
        if (!map->ReadTemplates(in, step * slice)) return false;
    }
    return map->ReadSpawns(in) && map->ReadReferences(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CArrayInputStream whole(1);
    whole.Open(data, static_cast<uint32_t>(size));
    LevelMapData map;
    const bool read = map.Read(whole);
    CheckMap(map);

    CArrayInputStream sliced(1);
    sliced.Open(data, static_cast<uint32_t>(size));
    LevelMapData inSlices;
    Check(ReadInSlices(sliced, &inSlices) == read);
    CheckMap(inSlices);
    Check(inSlices.Spawns().size() == map.Spawns().size() && inSlices.ActorRefs() == map.ActorRefs());
    return 0;
}
