#ifndef PLAYFIXTURE_H
#define PLAYFIXTURE_H

// A play world without a game: the sprite module on a small synthetic
// sprite set written by the sprite-data writer, an off-screen device with
// the 2D renderer, a seeded shared random generator and a standalone
// world with empty lists, a 240 x 320 view and a 20 x 15 tile map.
// Header-only so that the actor and the world tests share it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../graphics2d/OffScreenDevice.h"
#include "AppServices.h"
#include "AppWorld.h"
#include "AssertCounter.h"
#include "BigArchiveWriter.h"
#include "CActor.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameWorld.h"
#include "CGraphics2d_Lite.h"
#include "CRandGen.h"
#include "CRenderSurfaceBuffer.h"
#include "CResourceBinary.h"
#include "CResourceFactory.h"
#include "CResourceKeyset.h"
#include "CSpriteInstance.h"
#include "DrawingScope.h"
#include "HostTestEnvironment.h"
#include "ImageFileBuilder.h"
#include "JGraphics.h"
#include "MountedArchive.h"
#include "SK_Home.h"
#include "SpriteData.h"
#include "SpriteDataWriter.h"
#include "TestApplication.h"

namespace playtest {

// Boxes of the synthetic sprites, relative to the sprite position: the body
// stands on the origin, centred.
constexpr int32_t kBodyX = -5;
constexpr int32_t kBodyY = -20;
constexpr int32_t kBodyW = 10;
constexpr int32_t kBodyH = 20;
constexpr int32_t kAttackX = 5;
constexpr int32_t kAttackY = -14;
constexpr int32_t kAttackW = 6;
constexpr int32_t kAttackH = 4;
constexpr int32_t kLowX = -8;
constexpr int32_t kLowY = -8;
constexpr int32_t kLowW = 16;
constexpr int32_t kLowH = 8;
constexpr int32_t kReachX = -2;
constexpr int32_t kReachY = -30;
constexpr int32_t kReachW = 4;
constexpr int32_t kReachH = 4;
// The fourth attack box, over the body and both its sides.
constexpr int32_t kBackX = -12;
constexpr int32_t kBackY = -20;
constexpr int32_t kBackW = 24;
constexpr int32_t kBackH = 20;
// Animations: each plays one pose for two frames of 100 ms.
constexpr int32_t kAnimationCount = 40;
constexpr uint16_t kFrameUnits = 10;
// Sets: 0 and 2.. are alike; set 1's first frame has no parts.
constexpr int32_t kMainSet = 0;
constexpr int32_t kEmptySet = 1;
constexpr int32_t kSetCount = 60;
constexpr int32_t kScreenWidth = 240;
constexpr int32_t kScreenHeight = 320;
constexpr int32_t kMapColumns = 20;
constexpr int32_t kMapRows = 15;

enum Pose : uint16_t { kPoseBody = 0, kPoseAttack = 1, kPoseLow = 2, kPoseEmpty = 3, kPoseReach = 4, kPoseBack = 5 };

// Which pose an animation shows: the player's combo moves and finishing
// moves attack, the low-stance poses are low, the rest stand.
inline uint16_t PoseOf(int32_t animation) {
    if ((animation >= 2 && animation <= 5) || animation == 1 || animation == 24 || animation == 25 || animation == 27 ||
        animation == 32) {
        return kPoseAttack;
    }
    if (animation == 12 || animation == 13) return kPoseLow;
    if (animation == 30) return kPoseReach;
    return kPoseBody;
}

inline spritedata::SpriteSet MainSet(bool emptyFirst) {
    using namespace spritedata;
    enum Module : uint16_t { kPicture = 0, kBody = 1, kAttack = 2, kReach = 3, kLow = 4, kBack = 5 };
    SpriteSet set;
    set.frames = {{{kPicture, -2, -4}, {kBody, kBodyX, kBodyY}},
                  {{kPicture, -2, -4}, {kBody, kBodyX, kBodyY}, {kAttack, kAttackX, kAttackY}},
                  {{kPicture, -2, -4}, {kLow, kLowX, kLowY}},
                  {},
                  {{kPicture, -2, -4}, {kBody, kBodyX, kBodyY}, {kReach, kReachX, kReachY}},
                  {{kPicture, -2, -4}, {kBody, kBodyX, kBodyY}, {kBack, kBackX, kBackY}}};
    for (uint16_t f = 0; f < set.frames.size(); ++f) set.poses.push_back({{f, 0, 0}});
    for (int32_t a = 0; a < kAnimationCount; ++a) {
        const uint16_t pose = emptyFirst && a == 0 ? static_cast<uint16_t>(kPoseEmpty) : PoseOf(a);
        set.animations.push_back({kAllTransforms, {{pose, kFrameUnits}, {pose, kFrameUnits}}});
    }
    set.sprites = {{{kPicture}, kNone}, {{kPicture}, kNone}};
    return set;
}

inline spritedata::Definition MainDefinition() {
    using namespace spritedata;
    Definition definition;
    definition.slots = {{0, kNone}};
    definition.imageModules = {{0, 0, 0}};
    definition.rectModules = {{kBoxColour, kBodyW, kBodyH, 1},
                              {kBoxColour, kAttackW, kAttackH, 2},
                              {kBoxColour, kReachW, kReachH, 3},
                              {kBoxColour, kLowW, kLowH, 1},
                              {kBoxColour, kBackW, kBackH, 4}};
    definition.setCount = kSetCount;
    return definition;
}

// A 4 x 4 picture of one colour.
inline std::vector<uint8_t> PictureBitmap() {
    imagetest::BmpSpec spec;
    spec.width = 4;
    spec.height = 4;
    spec.bitCount = 8;
    spec.palette = {0x30A050};
    spec.rows.assign(4, std::vector<uint32_t>(4, 0));
    return imagetest::BuildBmp(spec);
}

class SpriteResourceFactory : public CResourceFactory {
public:
    bool Create(uint32_t typeKey, CResource** outResource) override {
        if (typeKey == SpriteDataWriter::kKeysetType) {
            *outResource = new CResourceKeyset();
        } else if (typeKey == SpriteDataWriter::kBinaryType) {
            *outResource = new CResourceBinary();
        } else {
            *outResource = nullptr;
        }
        return *outResource != nullptr;
    }
};

class PlayFixture : public ::testing::Test {
protected:
    static constexpr int32_t kSeed = 20;

    void SetUp() override {
        ASSERT_EQ(m_app.Init(), 0);
        new SpriteResourceFactory();
        OpenScreen();
        MountSprites();
        GetRandom()->Seed(kSeed);
        world = new CGameWorld();
        SetAppWorld(world);
        world->Attach({&input, &progress, nullptr});
        world->ResetActorLists();
        world->screenWidth = world->viewWidth = kScreenWidth;
        world->screenHeight = world->viewHeight = kScreenHeight;
        SetMap(kMapColumns, kMapRows);
        sprite.SetSprite(kMainSet);
    }

    void TearDown() override {
        delete world;
        world = nullptr;
        SetAppWorld(nullptr);
        delete static_cast<SK_Home*>(CSingleton::GetInstance(SK_Home::kClassKey));
        m_archive.Unmount();
        m_drawing.reset();
        m_app.Shutdown();
    }

    // The device and the 2D renderer, in a frame, on the application's table.
    void OpenScreen() {
        m_drawing = std::make_unique<DrawingScope>(kScreenWidth, kScreenHeight, RSBFormat_X8R8G8B8,
                                                   DrawingScope::Singletons::kApplicationTable);
        m_device = m_drawing->Device();
        m_renderer = m_drawing->Renderer();
    }

    // The sprite sets of the archive; a test may give sets of its own.
    virtual std::vector<spritedata::SpriteSet> SpriteSets() const {
        std::vector<spritedata::SpriteSet> sets(kSetCount, MainSet(false));
        sets[kEmptySet] = MainSet(true);
        return sets;
    }

    void MountSprites() {
        const std::vector<spritedata::SpriteSet> sets = SpriteSets();
        std::string error;
        BigArchiveWriter writer(IdTableForm::List);
        ASSERT_TRUE(SpriteDataWriter::AddEmptyDirectory(writer, &error)) << error;
        ASSERT_TRUE(SpriteDataWriter::AddToArchive(writer, spritedata::Ids(), MainDefinition(), sets,
                                                   {PictureBitmap()}, true, &error))
            << error;
        ASSERT_TRUE(m_archive.Mount(&m_app, writer, "sprites", 20, 8, &error)) << error;
        SK_Home* home = GetSpriteHome();
        ASSERT_NE(home, nullptr);
        home->Load();
        ASSERT_TRUE(home->IsLoaded());
    }

    // An empty map of tile code 0 (passable) with the four built-in types
    // after one map type, and the camera bounds on the whole map.
    void SetMap(int32_t columns, int32_t rows) {
        std::vector<std::vector<uint8_t>> types(5, std::vector<uint8_t>(8, 0));
        world->SetTileData(columns, rows, std::vector<uint8_t>(static_cast<size_t>(columns * rows), 0), types);
        world->mapWidth = columns;
        world->mapHeight = rows;
        world->mapWidthPx = columns * CGameWorld::kTileSize;
        world->mapHeightPx = rows * CGameWorld::kTileSize;
        world->SetCameraBounds(0, 0, columns, rows);
    }

    void SetTileCode(int32_t column, int32_t row, uint8_t code) {
        world->collisionLayer[static_cast<size_t>(row * world->collisionWidth + column)] = code;
    }

    // An owned actor on the synthetic sprite, at a pixel position.
    CActor* Make(int32_t type, int32_t px = 100, int32_t py = 100, std::vector<int8_t> extra = {}) {
        auto* a = new CActor(&sprite, type, 0, extra.empty() ? nullptr : extra.data(), px, py, 0,
                             static_cast<int32_t>(extra.size()));
        world->ownedList->addElement(a);
        return a;
    }

    CActor* MakePlayer(int32_t type = ActorType::kPlayerFormA, int32_t px = 100, int32_t py = 100) {
        CActor* p = Make(type, px, py);
        world->player = p;
        return p;
    }

    // A spawn actor with its template's ranges.
    CActor* MakeSpawn(int32_t type, int32_t px, int32_t py, int32_t rangeX, int32_t rangeY) {
        auto* a = new CActor(&sprite, type, 0, nullptr, px, py, 0, 0);
        a->spawnId = static_cast<int32_t>(world->spawnActors.size());
        world->spawnActors.push_back(a);
        world->templateRanges.push_back({rangeX, rangeY});
        world->spawns.push_back({static_cast<int32_t>(world->templateRanges.size()) - 1, CGameWorld::kSpawnFree});
        return a;
    }

    uint32_t Pixel(int32_t x, int32_t y) const {
        return imagetest::PlanePixel(*m_device->Surface()->GetPlane(0), x, y) & 0xFFFFFF;
    }

    void ClearScreen(uint32_t rgb) {
        m_device->SetClearColor(0xFF000000u | rgb);
        m_device->Clear(CGraphics::kClearColor);
    }

    HostTestEnvironment m_environment;
    TestApplication m_app;
    std::unique_ptr<DrawingScope> m_drawing;
    // The scope's, for the tests' brevity.
    OffScreenDevice* m_device = nullptr;
    CGraphics2d_Lite* m_renderer = nullptr;
    MountedArchive m_archive;
    CGameInput input;
    CGameProgress progress;
    CGameWorld* world = nullptr;
    CSpriteInstance sprite;
    JGraphics g;
};

}  // namespace playtest

#endif
