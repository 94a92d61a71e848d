// A large synthetic level (400 x 40 tiles, 120 templates, 2000 spawns, 60
// scripts) loaded into the play world step by step, through the real
// archive, resource manager, map and script readers; and one play frame
// (update and paint) with 100 actors in play on that level, headless, into
// a 240 x 320 surface. The frame's share of the 40 ms budget of a frame is
// printed as a counter.

#include <benchmark/benchmark.h>


#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "AppServices.h"
#include "AppWorld.h"
#include "BenchArchiveScene.h"
#include "BigArchiveWriter.h"
#include "CActor.h"
#include "CGameWorld.h"
#include "CGraphics2d_Lite.h"
#include "CRandGen.h"
#include "CSpriteInstance.h"
#include "JGraphics.h"
#include "LevelMapWriter.h"
#include "LevelScriptWriter.h"
#include "SK_Home.h"
#include "ScriptCommands.h"
#include "SpriteBitmapWriter.h"
#include "SpriteDataWriter.h"

namespace {

constexpr int32_t kFrameMs = 60;
constexpr double kBudgetMs = 40.0;
constexpr uint32_t kMapKeys = 0x5000108;
constexpr uint32_t kScriptGroup = 0x5000109;
constexpr uint32_t kMainTilesetGroup = 0x500010A;
constexpr uint32_t kMapStream = 0x5000300;
constexpr uint32_t kScriptStream = 0x5000301;
constexpr uint32_t kTilesetImage = 0x5000400;
constexpr uint32_t kTilesetBitmap = 0x5000401;
constexpr uint16_t kColumns = 400;
constexpr uint16_t kRows = 40;
constexpr int32_t kTemplates = 120;
constexpr int32_t kSpawns = 2000;
constexpr int32_t kScripts = 60;
constexpr int32_t kActorsInPlay = 100;
constexpr int32_t kSetCount = 60;
constexpr int32_t kAnimations = 40;
// Sprite bytes of the template table naming sets of the synthetic data.
constexpr uint8_t kSpriteBytes[] = {3, 4, 5, 6, 8, 10, 12, 14};

uint32_t ArchiveId(uint32_t handle) { return SpriteDataWriter::ArchiveId(handle); }

void Le32(std::vector<uint8_t>* out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

std::vector<uint8_t> Keyset(const std::vector<uint32_t>& ids) {
    std::vector<uint8_t> out = {static_cast<uint8_t>(ids.size()), static_cast<uint8_t>(ids.size() >> 8)};
    for (uint32_t id : ids) Le32(&out, id);
    return out;
}

std::vector<uint8_t> Bitmap(int32_t w, int32_t h, const std::vector<uint32_t>& palette,
                            const std::vector<uint8_t>& indices) {
    std::vector<uint8_t> bytes;
    std::string error;
    SpriteBitmapWriter::EncodeIndexed(w, h, palette, indices, &bytes, &error);
    return bytes;
}

// One picture and one 10 x 20 collision box standing on the position; every
// animation one pose.
bool AddSprites(BigArchiveWriter& writer, std::string* error) {
    using namespace spritedata;
    Definition definition;
    definition.slots = {{0, kNone}};
    definition.imageModules = {{0, 0, 0}};
    definition.rectModules = {{kBoxColour, 10, 20, 1}};
    definition.setCount = kSetCount;
    SpriteSet set;
    set.frames = {{{0, -6, -18}, {1, -5, -20}}};
    set.poses = {{{0, 0, 0}}};
    for (int32_t a = 0; a < kAnimations; ++a) set.animations.push_back({kAllTransforms, {{0, 10}}});
    set.sprites = {{{0}, kNone}, {{0}, kNone}};
    std::vector<uint8_t> indices(12 * 16);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(1 + i % 2);
    const std::vector<uint8_t> picture = Bitmap(12, 16, {SpriteBitmapWriter::kTransparent, 0x30A050, 0x50C070}, indices);
    return SpriteDataWriter::AddEmptyDirectory(writer, error) &&
           SpriteDataWriter::AddToArchive(writer, Ids(), definition, std::vector<SpriteSet>(kSetCount, set), {picture},
                                          true, error);
}

leveldata::LevelMap LargeMap() {
    using namespace leveldata;
    LevelMap map;
    map.hasBackground = true;
    map.background = {kColumns, kRows, std::vector<uint8_t>(kColumns * kRows, 1)};
    // Open, solid (landable from above too), platform.
    map.tileTypes = {{{1, 0, 0, 0, 0, 0}}, {{0, 1, 0, 0, 0, 0}}, {{1, 1, 0, 0, 0, 0}}};
    map.collision.width = map.tiles.width = kColumns;
    map.collision.height = map.tiles.height = kRows;
    map.collision.codes.assign(kColumns * kRows, 0);
    map.tiles.cells.assign(kColumns * kRows, 0);
    for (uint16_t c = 0; c < kColumns; ++c) {
        for (uint16_t r = kRows - 4; r < kRows; ++r) {
            map.collision.codes[r * kColumns + c] = 1;
            map.tiles.cells[r * kColumns + c] = 1;
        }
        if (c % 7 == 0) map.collision.codes[(kRows - 9) * kColumns + c] = 2;
    }
    for (int32_t t = 0; t < kTemplates; ++t) {
        Template record;
        record.type = static_cast<int8_t>(t % 2 == 0 ? 33 : 5);
        record.sprite = kSpriteBytes[t % static_cast<int32_t>(sizeof kSpriteBytes)];
        record.horizontalRange = static_cast<int8_t>(t < 4 ? 10 : 6);
        record.verticalRange = static_cast<int8_t>(t < 4 ? 10 : 6);
        map.templates.push_back(record);
    }
    for (int32_t s = 0; s < kSpawns; ++s) {
        // The first spawns are always in play; the rest spread along the map.
        const int8_t t = static_cast<int8_t>(s < kActorsInPlay ? s % 4 : 4 + s % (kTemplates - 4));
        // Those in play stand in the first view, the others beyond it.
        const int32_t x = s < kActorsInPlay ? 24 + (s * 7) % 192 : 480 + (s * 37) % (kColumns * 24 - 528);
        map.spawns.push_back({t, static_cast<int16_t>(x), static_cast<int16_t>((kRows - 4) * 24 - (s % 3) * 30)});
    }
    for (uint8_t i = 0; i < 40; ++i) map.references.push_back({leveldata::kRefActor, i, static_cast<int16_t>(i * 11), 0, 0});
    map.references.push_back({leveldata::kRefPlayerFormARight, 0, 0, 100, static_cast<int16_t>((kRows - 4) * 24)});
    return map;
}

std::vector<leveldata::Script> ManyScripts() {
    std::vector<leveldata::Script> scripts;
    for (int16_t id = 1; id <= kScripts; ++id) {
        leveldata::Script s;
        s.id = id;
        s.loop = id > 1 ? 1 : 0;
        if (id == 1) s.chain = {2, 3, 4, 5};
        s.commands = {ScriptCommands::Delay(false, static_cast<int16_t>(300 + id)),
                      ScriptCommands::WaitForArea(static_cast<int16_t>(id * 100), 0, 48, 48),
                      ScriptCommands::Shake(true, 100, 1, 1), ScriptCommands::ScriptFlag(true)};
        scripts.push_back(s);
    }
    return scripts;
}

bool AddLevel(BigArchiveWriter& writer, std::string* error) {
    std::vector<uint8_t> map;
    std::vector<uint8_t> scripts;
    if (!LevelMapWriter::Encode(LargeMap(), &map, error) || !LevelScriptWriter::Encode(ManyScripts(), &scripts, error)) {
        return false;
    }
    std::vector<uint8_t> indices(48 * 24);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>((i % 48) < 24 ? 1 : 2);
    std::vector<uint8_t> image;
    Le32(&image, 6);
    Le32(&image, 0xFFFFFFFF);
    Le32(&image, 14);
    Le32(&image, ArchiveId(kTilesetBitmap));
    return writer.AddPayload(ArchiveId(kMapStream), SpriteDataWriter::kBinaryType, map, true, 4, *error) &&
           writer.AddPayload(ArchiveId(kScriptStream), SpriteDataWriter::kBinaryType, scripts, true, 4, *error) &&
           writer.AddPayload(ArchiveId(kMapKeys), SpriteDataWriter::kKeysetType, Keyset({kMapStream}), false, 4,
                             *error) &&
           writer.AddPayload(ArchiveId(kScriptGroup), SpriteDataWriter::kKeysetType, Keyset({kScriptStream}), false,
                             4, *error) &&
           writer.AddPayload(ArchiveId(kTilesetBitmap), BenchArchiveScene::kBmpType, Bitmap(48, 24, {0, 0x806040, 0x405080}, indices),
                             true, 4, *error) &&
           writer.AddPayload(ArchiveId(kTilesetImage), BenchArchiveScene::kImageType, image, false, 4, *error) &&
           writer.AddPayload(ArchiveId(kMainTilesetGroup), SpriteDataWriter::kKeysetType,
                             Keyset({kTilesetImage, kTilesetImage, kTilesetImage}), false, 4, *error);
}

// The stage with the level's archive and a play world.
class Scene {
public:
    Scene() : m_stage("bench-level", AddLevelData) {
        m_ready = m_stage.IsMounted() && LoadSprites();
        GetRandom()->Seed(21);
        m_world = new CGameWorld();
        SetAppWorld(m_world);
        m_world->screenWidth = BenchArchiveScene::kWidth;
        m_world->screenHeight = BenchArchiveScene::kHeight;
    }

    ~Scene() {
        delete m_world;
        SetAppWorld(nullptr);
    }

    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    bool IsReady() const { return m_ready; }
    CGameWorld& World() { return *m_world; }

    int32_t LoadLevel() {
        int32_t steps = 0;
        for (int32_t step = 0; step < CGameWorld::kLoaded; ++steps) step = m_world->LoadStep(step);
        return steps;
    }

private:
    static bool AddLevelData(BigArchiveWriter& writer, std::string* error) {
        return AddSprites(writer, error) && AddLevel(writer, error);
    }
    static bool LoadSprites() {
        SK_Home* home = GetSpriteHome();
        home->Load();
        return home->IsLoaded();
    }

    BenchArchiveScene m_stage;
    CGameWorld* m_world = nullptr;
    bool m_ready = false;
};

void BM_LoadLevel(benchmark::State& state) {
    Scene scene;
    if (!scene.IsReady()) {
        state.SkipWithError("the level data cannot be mounted");
        return;
    }
    int32_t steps = 0;
    double loadMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        steps = scene.LoadLevel();
        loadMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        scene.World().Unload();
        state.ResumeTiming();
    }
    state.counters["steps"] = steps;
    std::printf("level load: %.3f ms over %d steps\n", loadMs / static_cast<double>(state.iterations()), steps);
}

void BM_PlayFrame(benchmark::State& state) {
    Scene scene;
    if (!scene.IsReady()) {
        state.SkipWithError("the level data cannot be mounted");
        return;
    }
    scene.LoadLevel();
    CGameWorld& world = scene.World();
    // The spawns in the first view come into play; each frame they fall
    // and land on the floor again (they stay in the view).
    world.Update(kFrameMs);
    for (CActor* a : world.spawnActors) {
        if (a == nullptr) continue;
        a->collisionFlags = CActor::kCollideAll;
        a->gravity = CActor::kGravity;
    }
    world.Update(kFrameMs);
    JGraphics g;
    const auto start = std::chrono::steady_clock::now();
    int64_t frames = 0;
    for (auto _ : state) {
        world.Update(kFrameMs);
        world.Paint(g);
        ++frames;
    }
    const double frameMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / frames;
    state.counters["actors"] = world.drawList ? world.drawList->size() : 0;
    state.counters["playing"] = world.subState == CGameWorld::kSubStateNormal && world.player != nullptr ? 1 : 0;
    std::printf("play frame: %.3f ms, %.2f%% of the %.0f ms budget\n", frameMs, 100.0 * frameMs / kBudgetMs,
                kBudgetMs);
}

}  // namespace

BENCHMARK(BM_LoadLevel)->Name("LevelLoad400x40/ours")->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PlayFrame)->Name("PlayFrame100Actors/ours")->Unit(benchmark::kMicrosecond);
