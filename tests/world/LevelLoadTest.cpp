#include <gtest/gtest.h>

#include "AssertCounter.h"
#include "CScriptCommand.h"
#include "LevelFixture.h"

namespace {

using namespace leveltest;

leveldata::Template MakeTemplate(int8_t type, uint8_t sprite, int8_t anchor, int8_t hRange, int8_t vRange) {
    leveldata::Template t;
    t.type = type;
    t.sprite = sprite;
    t.anchor = anchor;
    t.horizontalRange = hRange;
    t.verticalRange = vRange;
    return t;
}

// A 30 x 16 map with a background layer, four templates (ranges positive,
// zero and negative; anchors 0, 1 and 2), an empty template, five spawns
// and references of every kind.
Level RichLevel() {
    Level level;
    level.map = FloorMap(30, 16, 48);
    level.map.hasBackground = true;
    level.map.background = {30, 16, std::vector<uint8_t>(30 * 16, 1)};
    level.map.collision.codes[5] = -1;
    level.map.templates.push_back(MakeTemplate(33, kSpriteBody, 0, 4, 3));
    level.map.templates.push_back(MakeTemplate(33, kSpriteOther, 1, 0, 0));
    leveldata::Template empty;
    empty.empty = true;
    level.map.templates.push_back(empty);
    level.map.templates.push_back(MakeTemplate(-1, 0x80 | 0, 2, -1, -2));
    level.map.templates.push_back(MakeTemplate(33, 0, 0, 1, 1));  // sprite byte 0: no sprite
    level.map.spawns = {{0, 100, 200}, {1, 150, 120}, {3, 200, 50}, {2, 10, 10}, {4, 20, 20}};
    leveldata::Reference ref;
    ref.kind = leveldata::kRefActor;
    ref.index = 5;
    ref.spawn = 2;
    level.map.references.push_back(ref);
    leveldata::Reference odd;
    odd.kind = 9;
    level.map.references.push_back(odd);
    leveldata::Reference start;
    start.kind = leveldata::kRefPlayerFormALeft;
    start.x = 72;
    start.y = 15 * 24;
    level.map.references.push_back(start);  // the last start wins
    level.scripts = OneScript({ScriptCommands::Bare(ScriptCommands::kWaitForActor)});
    return level;
}

class LevelLoadTest : public LevelFixture {};

TEST_F(LevelLoadTest, StepsFollowTheSlicesToTheEnd) {
    Mount({RichLevel()});
    std::vector<int32_t> expected = {2, 5, 10, 15, 18, 22, 25, 30, 32, 38};
    for (int32_t s = 39; s <= 58; ++s) expected.push_back(s);
    for (int32_t s : {60, 65, 68, 70}) expected.push_back(s);
    for (int32_t s = 71; s <= 90; ++s) expected.push_back(s);
    for (int32_t s : {93, 94, 99, 100}) expected.push_back(s);
    const std::vector<int32_t> steps = Load(0);
    ASSERT_EQ(steps.size(), expected.size());
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i], expected[i]) << i;
    EXPECT_TRUE(world->loaded);
    EXPECT_EQ(world->LoadStep(100), 100);
    EXPECT_EQ(world->LoadStep(150), 150);
    EXPECT_EQ(world->LoadStep(31), 32);
    EXPECT_EQ(world->LoadStep(35), 38);
}

TEST_F(LevelLoadTest, MapSectionsLandInTheWorld) {
    MountAndLoad(RichLevel());
    EXPECT_EQ(world->mapWidth, 30);
    EXPECT_EQ(world->mapHeight, 16);
    EXPECT_EQ(world->mapWidthPx, 720);
    EXPECT_EQ(world->mapHeightPx, 384);
    EXPECT_EQ(world->backgroundLayer.width, 30);
    EXPECT_EQ(world->tileLayer.cells.size(), 30u * 16u);
    // Three map types and four built-in ones; -1 became the empty code 3.
    ASSERT_EQ(world->tileTypes.size(), 7u);
    EXPECT_EQ(world->tileTypeCount, 3);
    EXPECT_EQ(world->GetTile(5, 0), 3);
    EXPECT_TRUE(world->TileHasFlag(3, CGameWorld::kTilePassable));
    EXPECT_FALSE(world->TileHasFlag(world->borderBeside, CGameWorld::kTilePassable));
    EXPECT_EQ(world->GetTile(-1, 3), world->borderBeside);
    EXPECT_EQ(world->GetTile(4, 15), kSolid);
    EXPECT_TRUE(world->TileHasFlag(kPlatform, CGameWorld::kTilePlatform));
    // Camera window on the whole map.
    EXPECT_EQ(world->windowX2, 30);
    EXPECT_EQ(world->windowY2, 16);
}

TEST_F(LevelLoadTest, TemplatesSpawnsAndReferences) {
    MountAndLoad(RichLevel());
    ASSERT_EQ(world->templateRanges.size(), 5u);
    EXPECT_EQ(world->templateRanges[0].horizontal, 4 * 24);
    EXPECT_EQ(world->templateRanges[0].vertical, 3 * 24);
    EXPECT_EQ(world->templateRanges[1].horizontal, 240 + 720);
    EXPECT_EQ(world->templateRanges[1].vertical, 320 + 384);
    EXPECT_EQ(world->templateRanges[3].horizontal, 240 + kBoxW);
    EXPECT_EQ(world->templateRanges[3].vertical, 320 + kBoxH);
    EXPECT_EQ(world->templateTypes[3], -1);
    ASSERT_NE(world->templateSprites[3], nullptr);  // shares template 0's sprite
    EXPECT_EQ(world->templateSprites[2], nullptr);
    EXPECT_EQ(world->templateSprites[4], nullptr);

    ASSERT_EQ(world->spawnActors.size(), 5u);
    // Anchor 0: the box bottom stands on the given y; anchor 1: its top.
    CActor* bottomAnchored = world->spawnActors[0];
    ASSERT_NE(bottomAnchored, nullptr);
    EXPECT_EQ(bottomAnchored->spawnId, 0);
    EXPECT_EQ(bottomAnchored->sprite->GetY() + bottomAnchored->sprite->GetBoxY() + kBoxH, 200);
    EXPECT_EQ(bottomAnchored->sprite->GetX(), 100);
    CActor* topAnchored = world->spawnActors[1];
    ASSERT_NE(topAnchored, nullptr);
    EXPECT_EQ(topAnchored->sprite->GetY() + topAnchored->sprite->GetBoxY(), 120);
    EXPECT_EQ(world->spawnPoints[0].y, 200 - kBoxH / 2);
    EXPECT_EQ(world->spawnPoints[1].y, 120 + kBoxH / 2);
    EXPECT_EQ(world->spawnPoints[2].y, 50);
    // Spawns of the empty and the sprite-less template stay empty for good.
    EXPECT_EQ(world->spawnActors[3], nullptr);
    EXPECT_EQ(world->spawnActors[4], nullptr);
    EXPECT_EQ(world->spawns[3].state, CGameWorld::kSpawnDestroyed);
    EXPECT_EQ(world->spawns[4].state, CGameWorld::kSpawnDestroyed);
    EXPECT_EQ(world->actorRefs[5], 2);
    EXPECT_EQ(world->actorRefs[0], 0);
}

TEST_F(LevelLoadTest, PlayerStartsWhereTheLastStartRecordSays) {
    MountAndLoad(RichLevel());
    CActor* p = world->player;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->type, ActorType::kPlayerFormA);
    EXPECT_EQ(p->facing, 0);
    EXPECT_EQ(p->sprite->GetX(), 72);
    EXPECT_EQ(p->sprite->GetY(), 15 * 24);
    EXPECT_EQ(p->StateWord(PlayerWord::kReserve), 0);  // level 0 keeps no reserve
    EXPECT_EQ(world->cameraTarget, p);
    EXPECT_EQ(world->subState, CGameWorld::kSubStateNormal);
    EXPECT_EQ(world->fadeMode, CGameWorld::kFadeDown);
    // The partner waits hidden; script 1 runs and waits for an actor.
    ASSERT_NE(world->partner, nullptr);
    EXPECT_FALSE(world->partner->sprite->IsVisible());
    ASSERT_EQ(world->runningCommands.size(), 1u);
    EXPECT_EQ(world->waitingCommand, world->runningCommands[0]);
    // The first checkpoint holds the running command and every spawn.
    ASSERT_EQ(world->checkpoint.size(), 15u + 5u);
    EXPECT_EQ(world->checkpoint[5], 0);
    EXPECT_EQ(world->checkpoint[6], CGameWorld::kNoSavedCommand);
    EXPECT_EQ(world->checkpoint[15 + 3], CGameWorld::kSpawnDestroyed);
}

// More than 127 map types put the empty code past what a signed byte holds.
TEST_F(LevelLoadTest, CollisionCodesPastASignedByteKeepTheirTypes) {
    Level level = RichLevel();
    level.map.tileTypes.resize(130, Tile(0, 0));
    MountAndLoad(level);
    EXPECT_EQ(world->GetTile(5, 0), 130);
    EXPECT_TRUE(world->TileHasFlag(world->GetTile(5, 0), CGameWorld::kTilePassable));
}

TEST_F(LevelLoadTest, AHitMakesASparkOnTheLoadersSparkSprite) {
    MountAndLoad(RichLevel());
    CActor* victim = world->spawnActors[0];
    ASSERT_NE(world->player, nullptr);
    ASSERT_NE(victim, nullptr);
    world->player->SpawnHitEffect(victim);
    world->FlushActorLists();
    const CActor* spark = nullptr;
    for (int32_t i = 0; i < world->drawList->size(); ++i) {
        if (world->drawList->elementAt(i)->type == ActorType::kHitSpark) spark = world->drawList->elementAt(i);
    }
    ASSERT_NE(spark, nullptr);
    ASSERT_NE(spark->sprite, nullptr);
    uint8_t set = 0;
    uint8_t index = 0;
    ASSERT_TRUE(spark->sprite->GetSetAndSprite(set, index));
    EXPECT_EQ(set, 25);
    EXPECT_TRUE(spark->sprite->IsVisible());
}

TEST_F(LevelLoadTest, TextPageFirstStartsTheLevelBlack) {
    Level level = RichLevel();
    level.scripts = OneScript({ScriptCommands::TextPage(-1, 0), ScriptCommands::SetSubState(0)});
    MountAndLoad(level);
    EXPECT_EQ(world->subState, CGameWorld::kSubStateBlack);
    // Without a HUD the page closes at once and play begins.
    Frame();
    EXPECT_EQ(world->subState, CGameWorld::kSubStateNormal);
    EXPECT_TRUE(world->runningCommands.empty());
}

TEST_F(LevelLoadTest, MapWithoutStartGoesBackToTheMenu) {
    Level level = RichLevel();
    level.map.references.erase(level.map.references.begin());
    level.map.references.pop_back();
    AssertCounter log;
    MountAndLoad(level);
    EXPECT_TRUE(log.Logged("no player start"));
    EXPECT_EQ(world->player, nullptr);
    EXPECT_EQ(world->subState, CGameWorld::kSubStateNoStart);
    EXPECT_EQ(Frame(), CStates::kMainMenu);
    EXPECT_TRUE(world->spawnActors.empty());
    EXPECT_FALSE(world->loaded);
    EXPECT_EQ(Frame(), CStates::kMainMenu);
}

TEST_F(LevelLoadTest, LevelPastTheGroupKeepsNothingStale) {
    Mount({RichLevel()});
    Load(0);
    ASSERT_EQ(world->levelScripts.ScriptCount(), 1u);
    world->Unload();
    Load(5);
    EXPECT_EQ(world->levelScripts.ScriptCount(), 0u);
    EXPECT_TRUE(world->runningCommands.empty());
    EXPECT_TRUE(world->spawnActors.empty());
    EXPECT_EQ(world->player, nullptr);
    EXPECT_EQ(world->mapWidth, 0);
    EXPECT_EQ(Frame(), CStates::kMainMenu);
}

TEST_F(LevelLoadTest, TruncatedMapsNeverCrash) {
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(LevelMapWriter::Encode(RichLevel().map, &bytes, &error));
    for (size_t cut : {size_t{0}, size_t{1}, size_t{7}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 3}) {
        Level level = RichLevel();
        level.rawMap.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        if (level.rawMap.empty()) level.rawMap = {0};
        Mount({level});
        AssertCounter log;
        Load(0);
        EXPECT_TRUE(log.Logged("map")) << cut;
        EXPECT_EQ(world->player, nullptr) << cut;
        EXPECT_EQ(Frame(), CStates::kMainMenu) << cut;
        Dismount();
    }
}

TEST_F(LevelLoadTest, UnloadIsSafeTwiceAndAfterAnAbandonedLoad) {
    Mount({RichLevel()});
    world->Unload();
    world->Unload();
    for (int32_t stop : {20, 40, 75, 100}) {
        progress.level = 0;
        for (int32_t step = 0; step < stop;) step = world->LoadStep(step);
        world->Unload();
        EXPECT_EQ(world->player, nullptr) << stop;
        EXPECT_TRUE(world->runningCommands.empty()) << stop;
        EXPECT_EQ(world->mapStream, nullptr) << stop;
        EXPECT_TRUE(world->templateSprites.empty()) << stop;
        world->Unload();
    }
    Load(0);
    EXPECT_NE(world->player, nullptr);
}

}  // namespace

namespace {

// Maps and scripts with bytes changed at random still load, start or go
// back to the menu, and run frames without a fault.
TEST_F(LevelLoadTest, MutatedLevelsNeverCrashTheWorld) {
    Level base = RichLevel();
    base.scripts = OneScript({ScriptCommands::Delay(false, 60), ScriptCommands::CameraBounds(0, 0, -1, -1),
                              ScriptCommands::WaitForActorNear(5, 40, true), ScriptCommands::PlaceActor(2, 2, 5),
                              ScriptCommands::SignalActor(5)});
    std::vector<uint8_t> map;
    std::string error;
    ASSERT_TRUE(LevelMapWriter::Encode(base.map, &map, &error));
    uint32_t seed = 21;
    auto next = [&seed](uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    int started = 0;
    int refused = 0;
    for (int round = 0; round < 40; ++round) {
        Level level = base;
        level.rawMap = map;
        for (int k = 0; k < 3; ++k) level.rawMap[next(static_cast<uint32_t>(map.size()))] = static_cast<uint8_t>(next(256));
        Mount({level});
        AssertCounter log;
        Load(0);
        const bool playable = world->player != nullptr;
        EXPECT_TRUE(playable || world->subState == CGameWorld::kSubStateNoStart) << round;
        (playable ? started : refused) += 1;
        for (int f = 0; f < 5; ++f) {
            const uint8_t next = Frame();
            if (!playable) {
                EXPECT_EQ(next, CStates::kMainMenu) << round;
            }
        }
        world->Paint(g);
        Dismount();
    }
    // The mutations hit both sides: some levels still start, some cannot.
    EXPECT_GT(started, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
