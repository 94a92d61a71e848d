#ifndef BEHAVIOURFIXTURE_H
#define BEHAVIOURFIXTURE_H

// The play fixture with sprite sets that the behaviour tests need: a set in
// which every animation carries an attack box (shots, strikes, traps), one
// in which every animation carries the second box above the body (doors,
// ledges, pads), and a long back-attack animation for the player. Frames
// run without the physics step when a test wants the state machine alone.
// A test whose outcome lies in the repository's content swaps the
// synthetic sprites for the compiled game sprites.

#include <map>
#include <memory>

#include "ActorUnits.h"
#include "BitmapFile.h"
#include "PlayFixture.h"
#include "RepositoryContent.h"

namespace playtest {

constexpr int32_t kDt = 40;
constexpr int32_t kPx = ActorUnits::kPerPixel;
// Sets by what their animations show.
constexpr int32_t kStrikingSet = 3;
constexpr int32_t kReachingSet = 4;
constexpr int32_t kStrikeSet = 11;
constexpr int32_t kProjectileSet = 14;
constexpr int32_t kPickupSet = 17;
constexpr int32_t kSparkSet = 25;
// The player's back attack is long enough to reach its sound frame.
constexpr int32_t kBackAttack = 29;
constexpr int32_t kBackAttackFrames = 16;

inline spritedata::SpriteSet UniformSet(uint16_t pose) {
    spritedata::SpriteSet set = MainSet(false);
    for (auto& animation : set.animations) animation.frames = {{pose, kFrameUnits}, {pose, kFrameUnits}};
    return set;
}

class BehaviourFixture : public PlayFixture {
public:
    // One frame of an actor without motion: facing, animation time, then
    // its behaviour.
    static void Think(CActor* a, int32_t dt = kDt) {
        a->ApplyFacing();
        if (a->sprite) a->sprite->Tick(dt, true);
        a->UpdateBehaviour(dt);
    }

    // Thinks until the condition holds (bounded); the number of frames.
    template <typename Condition>
    static int32_t ThinkUntil(CActor* a, Condition done, int32_t limit = 400) {
        int32_t frames = 0;
        while (!done() && frames < limit) {
            Think(a);
            ++frames;
        }
        return frames;
    }

    // Frames until the actor's animation has ended (bounded).
    static int32_t ThinkUntilDone(CActor* a, int32_t limit = 100) {
        return ThinkUntil(a, [a] { return a->IsAnimationDone(); }, limit);
    }

protected:
    std::vector<spritedata::SpriteSet> SpriteSets() const override {
        std::vector<spritedata::SpriteSet> sets = PlayFixture::SpriteSets();
        sets[kMainSet].animations[kBackAttack].frames.assign(kBackAttackFrames, {kPoseAttack, kFrameUnits});
        for (int32_t s : {kStrikingSet, kStrikeSet, kProjectileSet}) sets[s] = UniformSet(kPoseAttack);
        sets[kReachingSet] = UniformSet(kPoseReach);
        return sets;
    }

    void SetUp() override {
        PlayFixture::SetUp();
        world->projectileSprite = SpriteOn(kProjectileSet);
        world->hitSparkSprite = SpriteOn(kSparkSet);
        // Tile code 0 is open ground; the other codes are walls.
        world->tileTypes[0][CGameWorld::kTilePassable] = 1;
    }

    static std::unique_ptr<CSpriteInstance> SpriteOn(int32_t set) {
        auto s = std::make_unique<CSpriteInstance>();
        s->SetSprite(set);
        return s;
    }

    // An owned actor on a chosen set.
    CActor* MakeOn(int32_t set, int32_t type, int32_t px = 100, int32_t py = 100, std::vector<int8_t> extra = {}) {
        std::unique_ptr<CSpriteInstance> s = SpriteOn(set);
        auto* a = new CActor(s.get(), type, 0, extra.empty() ? nullptr : extra.data(), px, py, 0,
                             static_cast<int32_t>(extra.size()));
        world->ownedList->addElement(a);
        return a;
    }

    // Into the world's lists at once, as the flush of a frame does.
    void Insert(CActor* a) {
        world->QueueAddActor(a);
        world->FlushActorLists();
    }

    // A key pressed in this frame, and held.
    void Press(uint32_t keys) {
        input.pressed = keys;
        input.held |= keys;
    }
    void Hold(uint32_t keys) {
        input.pressed = 0;
        input.held = keys;
    }

    bool InDrawList(const CActor* a) const { return world->drawList->contains(const_cast<CActor*>(a)); }

    static const SpriteContent& GameSprites() { return RepositoryContent().sprites.at(0); }

    // The synthetic sprites give way to the compiled content's; the
    // fixture's player sprite shows `playerSet`.
    void MountGameSprites(int32_t playerSet) {
        sprite.ReleasePresenter();
        delete static_cast<SK_Home*>(CSingleton::GetInstance(SK_Home::kClassKey));
        m_archive.Unmount();
        const SpriteContent& sprites = GameSprites();
        std::vector<std::vector<uint8_t>> bitmaps;
        for (const Raster& picture : sprites.pictures) bitmaps.push_back(BitmapFile::Encode(picture));
        std::string error;
        BigArchiveWriter writer(IdTableForm::List);
        ASSERT_TRUE(SpriteDataWriter::AddEmptyDirectory(writer, &error)) << error;
        ASSERT_TRUE(SpriteDataWriter::AddToArchive(writer, sprites.ids, sprites.definition, sprites.sets, bitmaps,
                                                   false, &error))
            << error;
        ASSERT_TRUE(m_archive.Mount(&m_app, writer, "game-sprites", 64, 32, &error)) << error;
        SK_Home* home = GetSpriteHome();
        ASSERT_NE(home, nullptr);
        home->Load();
        ASSERT_TRUE(home->IsLoaded());
        sprite.SetSprite(playerSet);
    }
};

}  // namespace playtest

#endif
