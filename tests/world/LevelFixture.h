#ifndef LEVELFIXTURE_H
#define LEVELFIXTURE_H

// A play world that loads synthetic levels from the archive the game reads:
// the synthetic sprite sets of the play fixture, and the level key sets
// (maps by level, scripts by level) with streams written by the level
// writers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../actors/PlayFixture.h"
#include "CResourceDIB.h"
#include "CResourceRenderSurface.h"
#include "LevelMap.h"
#include "LevelMapWriter.h"
#include "LevelScript.h"
#include "LevelScriptWriter.h"
#include "CStates.h"
#include "ScriptCommands.h"

namespace leveltest {

// Sprite bytes of the template table that name sets of the fixture with a
// 10 x 20 body box standing on the sprite position.
constexpr uint8_t kSpriteBody = 3;   // set 2
constexpr uint8_t kSpriteOther = 4;  // set 8
constexpr int32_t kBoxW = playtest::kBodyW;
constexpr int32_t kBoxH = playtest::kBodyH;
// Tile codes of the standard map: 0 empty, 1 solid, 2 platform.
constexpr int8_t kEmpty = 0;
constexpr int8_t kSolid = 1;
constexpr int8_t kPlatform = 2;

struct Level {
    leveldata::LevelMap map;
    std::vector<leveldata::Script> scripts;
    // When not empty, the map stream as it stands instead of `map`.
    std::vector<uint8_t> rawMap;
    // Likewise the script stream instead of `scripts`.
    std::vector<uint8_t> rawScripts;
};

inline leveldata::TileType Tile(uint8_t passable, uint8_t platform) { return {{passable, platform, 0, 0, 0, 0}}; }

// A columns x rows map: empty cells with a solid floor on the last row, a
// start for player form A at (start x, floor), no templates.
inline leveldata::LevelMap FloorMap(uint16_t columns, uint16_t rows, int16_t startX) {
    leveldata::LevelMap map;
    map.tileTypes = {Tile(1, 0), Tile(0, 1), Tile(1, 1)};
    map.collision.width = map.tiles.width = columns;
    map.collision.height = map.tiles.height = rows;
    map.collision.codes.assign(static_cast<size_t>(columns * rows), kEmpty);
    for (uint16_t c = 0; c < columns; ++c) map.collision.codes[static_cast<size_t>((rows - 1) * columns + c)] = kSolid;
    map.tiles.cells.assign(static_cast<size_t>(columns * rows), 0);
    leveldata::Reference start;
    start.kind = leveldata::kRefPlayerFormARight;
    start.x = startX;
    start.y = static_cast<int16_t>((rows - 1) * 24);
    map.references.push_back(start);
    return map;
}

// Script 1 with the commands given.
inline std::vector<leveldata::Script> OneScript(std::vector<leveldata::Command> commands) {
    leveldata::Script s;
    s.id = 1;
    s.commands = std::move(commands);
    return {s};
}

// The sprite fixture's resources, and bitmaps for the level's images.
class LevelResourceFactory : public playtest::SpriteResourceFactory {
public:
    static constexpr uint32_t kBmpType = 0xB717945F;
    static constexpr uint32_t kImageType = 0xE179EFBE;

    bool Create(uint32_t typeKey, CResource** outResource) override {
        if (typeKey == kBmpType) {
            *outResource = new CResourceDIB();
        } else if (typeKey == kImageType) {
            *outResource = new CResourceRenderSurface();
        } else {
            return SpriteResourceFactory::Create(typeKey, outResource);
        }
        return true;
    }
};

// A 48 x 24 tileset of two tiles: red, then blue.
inline std::vector<uint8_t> TwoTileBitmap() {
    return imagetest::BuildBmp(imagetest::TrueColourBmp(48, 24, [](int32_t x, int32_t) -> uint32_t {
        return x < 24 ? 0xFF0000u : 0x0000FFu;
    }));
}

class LevelFixture : public playtest::PlayFixture {
protected:
    static constexpr uint32_t kMapKeys = 0x5000108;
    static constexpr uint32_t kScriptGroup = 0x5000109;
    static constexpr uint32_t kDialogueKeys = 0x500010D;
    static constexpr uint32_t kFirstStream = 0x5000300;
    static constexpr uint32_t kMainTilesetGroup = 0x500010A;
    static constexpr uint32_t kTilesetImage = 0x5000400;
    static constexpr uint32_t kTilesetBitmap = 0x5000401;

    void SetUp() override {
        ASSERT_EQ(m_app.Init(), 0);
        new LevelResourceFactory();
        OpenScreen();
    }

    // The fourth level hands the progress record an image it owns.
    void TearDown() override {
        delete progress.interludeImage;
        progress.interludeImage = nullptr;
        PlayFixture::TearDown();
    }

    // Mounts the levels (level i is entry i of both key sets) and makes a
    // world with nothing loaded.
    void Mount(const std::vector<Level>& levels) {
        std::vector<spritedata::SpriteSet> sets(playtest::kSetCount, playtest::MainSet(false));
        sets[playtest::kEmptySet] = playtest::MainSet(true);
        std::string error;
        BigArchiveWriter writer(IdTableForm::List);
        ASSERT_TRUE(SpriteDataWriter::AddEmptyDirectory(writer, &error)) << error;
        ASSERT_TRUE(SpriteDataWriter::AddToArchive(writer, spritedata::Ids(), playtest::MainDefinition(), sets,
                                                   {playtest::PictureBitmap()}, true, &error))
            << error;
        std::vector<uint32_t> maps;
        std::vector<uint32_t> scripts;
        uint32_t id = kFirstStream;
        for (const Level& level : levels) {
            std::vector<uint8_t> bytes = level.rawMap;
            if (bytes.empty()) {
                ASSERT_TRUE(LevelMapWriter::Encode(level.map, &bytes, &error)) << error;
            }
            AddBinary(writer, id, bytes);
            maps.push_back(id++);
            bytes = level.rawScripts;
            if (bytes.empty()) {
                ASSERT_TRUE(LevelScriptWriter::Encode(level.scripts, &bytes, &error)) << error;
            }
            AddBinary(writer, id, bytes);
            scripts.push_back(id++);
        }
        AddKeyset(writer, kMapKeys, maps);
        AddKeyset(writer, kScriptGroup, scripts);
        AddKeyset(writer, kDialogueKeys, {});
        // An image: its colour format (any) and the bitmap it shows.
        const std::vector<uint8_t> image =
            imagetest::BuildAttributePairs({{6, 0xFFFFFFFF}, {14, SpriteDataWriter::ArchiveId(kTilesetBitmap)}});
        ASSERT_TRUE(writer.AddPayload(SpriteDataWriter::ArchiveId(kTilesetBitmap), LevelResourceFactory::kBmpType,
                                      TwoTileBitmap(), true, 4, error))
            << error;
        ASSERT_TRUE(writer.AddPayload(SpriteDataWriter::ArchiveId(kTilesetImage), LevelResourceFactory::kImageType,
                                      image, false, 4, error))
            << error;
        AddKeyset(writer, kMainTilesetGroup, {kTilesetImage, kTilesetImage, kTilesetImage});
        ASSERT_TRUE(m_archive.Mount(&m_app, writer, "levels", 20, 8, &error)) << error;
        SK_Home* home = GetSpriteHome();
        ASSERT_NE(home, nullptr);
        home->Load();
        GetRandom()->Seed(kSeed);
        world = new CGameWorld();
        SetAppWorld(world);
        world->Attach({&input, &progress, nullptr, nullptr, nullptr, nullptr});
        world->screenWidth = playtest::kScreenWidth;
        world->screenHeight = playtest::kScreenHeight;
        sprite.SetSprite(playtest::kMainSet);
    }

    // Undoes Mount, so that a test may mount other levels.
    void Dismount() {
        delete world;
        world = nullptr;
        SetAppWorld(nullptr);
        delete static_cast<SK_Home*>(CSingleton::GetInstance(SK_Home::kClassKey));
        m_archive.Unmount();
    }

    // Loads level `index` step by step; the steps taken, in order.
    std::vector<int32_t> Load(int32_t index) {
        progress.level = index;
        std::vector<int32_t> steps;
        int32_t step = 0;
        while (step < CGameWorld::kLoaded && steps.size() < 200) {
            step = world->LoadStep(step);
            steps.push_back(step);
        }
        return steps;
    }

    void MountAndLoad(const Level& level) {
        Mount({level});
        Load(0);
    }

    // One play frame of 60 ms.
    uint8_t Frame(int32_t dt = 60) {
        input.LatchFrame();
        return world->Update(dt);
    }

    static void AddBinary(BigArchiveWriter& writer, uint32_t id, const std::vector<uint8_t>& bytes) {
        std::string error;
        ASSERT_TRUE(writer.AddPayload(SpriteDataWriter::ArchiveId(id), SpriteDataWriter::kBinaryType, bytes, false, 4,
                                      error))
            << error;
    }

    // A key set: u16 count, then the ids, little-endian as the archive's.
    static void AddKeyset(BigArchiveWriter& writer, uint32_t id, const std::vector<uint32_t>& ids) {
        std::vector<uint8_t> bytes = {static_cast<uint8_t>(ids.size()), static_cast<uint8_t>(ids.size() >> 8)};
        for (uint32_t v : ids) {
            for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(v >> shift));
        }
        std::string error;
        ASSERT_TRUE(writer.AddPayload(SpriteDataWriter::ArchiveId(id), SpriteDataWriter::kKeysetType, bytes, false, 4,
                                      error))
            << error;
    }
};

}  // namespace leveltest

#endif
