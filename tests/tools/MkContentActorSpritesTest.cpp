// The sprite sets of the repository's content hold what the actor
// behaviours ask of them: the attack boxes their moves strike with, the
// reach, back and second boxes they test, and animations long enough for the
// frames they wait for. Also the figure drawing the sets are made of.

#include "RepositoryContent.h"
#include "SpriteFigure.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int32_t kBody = 1;
constexpr int32_t kAttack = 2;
constexpr int32_t kSecond = 3;  // reach, a door's second box, a ledge top, a pad's top
constexpr int32_t kBack = 4;

const SpriteContent& Sprites() { return RepositoryContent().sprites.at(0); }

// Each part (picture or box) a frame of an animation shows, with the offset
// of the pose entry that places it.
template <typename Visit>
void ForEachPart(int32_t set, int32_t animation, size_t step, Visit visit) {
    const spritedata::SpriteSet& sprites = Sprites().sets.at(static_cast<size_t>(set));
    const uint16_t pose = sprites.animations.at(static_cast<size_t>(animation)).frames.at(step).pose;
    for (const spritedata::PoseEntry& entry : sprites.poses.at(pose)) {
        for (const spritedata::Part& part : sprites.frames.at(entry.frame)) visit(entry, part);
    }
}

// The box a part shows, or null for a picture.
const spritedata::RectModule* BoxOf(const spritedata::Part& part) {
    const spritedata::Definition& definition = Sprites().definition;
    if (part.module < definition.imageModules.size()) return nullptr;
    return &definition.rectModules.at(part.module - definition.imageModules.size());
}

// The box attributes a frame of an animation shows.
std::set<int32_t> BoxesOf(int32_t set, int32_t animation, size_t step) {
    std::set<int32_t> boxes;
    ForEachPart(set, animation, step, [&](const spritedata::PoseEntry&, const spritedata::Part& part) {
        if (const spritedata::RectModule* box = BoxOf(part)) boxes.insert(box->attribute);
    });
    return boxes;
}

// The pictures (image modules) a frame of an animation draws.
std::set<size_t> PicturesOf(int32_t set, int32_t animation, size_t step) {
    std::set<size_t> pictures;
    ForEachPart(set, animation, step, [&](const spritedata::PoseEntry&, const spritedata::Part& part) {
        if (BoxOf(part) == nullptr) pictures.insert(part.module);
    });
    return pictures;
}

// The body box (x, y, width, height from the actor's position) a frame of an
// animation shows; all zero when it shows none.
std::array<int32_t, 4> BodyBoxOf(int32_t set, int32_t animation, size_t step) {
    std::array<int32_t, 4> body = {0, 0, 0, 0};
    bool found = false;
    ForEachPart(set, animation, step, [&](const spritedata::PoseEntry& entry, const spritedata::Part& part) {
        const spritedata::RectModule* box = BoxOf(part);
        if (found || box == nullptr || box->attribute != kBody) return;
        body = {entry.dx + part.dx, entry.dy + part.dy, box->width, box->height};
        found = true;
    });
    return body;
}

size_t StepsOf(int32_t set, int32_t animation) {
    return Sprites().sets.at(static_cast<size_t>(set)).animations.at(static_cast<size_t>(animation)).frames.size();
}

bool AnyStepHas(int32_t set, int32_t animation, int32_t attribute) {
    for (size_t step = 0; step < StepsOf(set, animation); ++step) {
        if (BoxesOf(set, animation, step).count(attribute)) return true;
    }
    return false;
}

struct Need {
    int32_t set;
    std::vector<int32_t> animations;
    int32_t attribute;
};

TEST(ContentActorSprites, MovesStrikeWithAttackBoxes) {
    const std::vector<Need> needs = {
        {12, {2, 3, 4, 5, 22, 24, 25, 26, 27}, kAttack},  // first form: combo, use point, finishers
        {0, {3, 4, 5, 6}, kAttack},                       // second form: combo
        {1, {3}, kAttack},                                // brute
        {2, {4, 11}, kAttack},                            // patrol bot
        {3, {4, 7}, kAttack},                             // crusher
        {41, {5, 7, 12}, kAttack},                        // sentinel
        {49, {4, 9, 10, 11, 20}, kAttack},                // the Warden
        {50, {32, 33, 8, 11, 17, 19, 20, 21}, kAttack},   // the king, his core, his minions
        {7, {2}, kAttack},                                // mine
        {9, {2}, kAttack},                                // pot
        {11, {1, 3}, kAttack},                            // strike
        {14, {0, 1, 2, 3, 4, 6, 9, 10, 12}, kAttack},     // shots and the bomb
        {23, {1}, kAttack},                               // remote
        {26, {1}, kAttack},                               // rock
        {27, {1, 2, 3}, kAttack},                         // spike trap
        {30, {1, 2}, kAttack},                            // barrier
        {48, {0}, kAttack},                               // the Warden's shot
        {40, {0}, kBody},                                 // hornet and bomber
        {3, {0, 1, 4, 7}, kSecond},                       // crusher's reach
        {2, {0, 1, 4, 11}, kBack},                        // the back a back attack reaches
        {19, {0, 1, 10}, kSecond},                        // doors' second box
        {32, {0, 1, 10}, kSecond},
        {36, {0, 1, 10}, kSecond},
        {24, {0, 1}, kSecond},                            // pads
        {33, {0, 1, 2}, kSecond},                         // crumbling ledge
        {35, {0}, kSecond},                               // hanging lamp
    };
    for (const Need& need : needs) {
        for (int32_t animation : need.animations) {
            EXPECT_TRUE(AnyStepHas(need.set, animation, need.attribute))
                << "set " << need.set << " animation " << animation << " box " << need.attribute;
        }
    }
}

TEST(ContentActorSprites, EveryActorSetHasABodyBoxInItsFirstFrame) {
    // Binding reads animation 0, frame 0; the gauges' boxes are their bars.
    for (int32_t set : {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 18, 19, 21, 22, 23, 24, 25, 26, 27, 28, 29,
                        30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 48, 49, 50, 51, 52}) {
        EXPECT_TRUE(BoxesOf(set, 0, 0).count(kBody)) << "set " << set;
    }
}

TEST(ContentActorSprites, AnimationsAreLongEnoughForTheFramesTheGameWaitsFor) {
    EXPECT_GE(StepsOf(12, 29), 14u);  // a sound at frame 13 of the back attack
    EXPECT_GE(StepsOf(50, 16), 4u);   // the king's strikes shake at frame 3
    EXPECT_GE(StepsOf(50, 18), 4u);
    EXPECT_EQ(Sprites().sets.at(12).sprites.size(), 2u);
    // The low stance: the first form's animation 13 and the second's 12 stand
    // on a box lower than the standing one.
    const auto bodyHeight = [](int32_t set, int32_t animation) { return BodyBoxOf(set, animation, 0)[3]; };
    EXPECT_LT(bodyHeight(12, 13), bodyHeight(12, 0));
    EXPECT_LT(bodyHeight(0, 12), bodyHeight(0, 2));
    EXPECT_GT(bodyHeight(12, 13), 0);
}

// The low stance's loops never stand up for a frame: every step keeps the
// low box (and so the crouching picture over it) of the low pose. The
// running level's runner plays the second form's loops throughout.
TEST(ContentActorSprites, TheLowStanceLoopsStayLow) {
    const struct {
        int32_t set;
        int32_t lowPose;
        std::vector<int32_t> loops;
    } forms[] = {{12, 13, {13, 15}}, {0, 12, {12, 14}}};
    for (const auto& form : forms) {
        const std::array<int32_t, 4> low = BodyBoxOf(form.set, form.lowPose, 0);
        for (int32_t loop : form.loops) {
            for (size_t step = 0; step < StepsOf(form.set, loop); ++step) {
                EXPECT_EQ(BodyBoxOf(form.set, loop, step), low)
                    << "set " << form.set << " animation " << loop << " step " << step;
            }
        }
    }
}

// The barrier (set 30) stands harmless: its attack box comes with its moves,
// in the two breaking animations only, so a player that touches it breaks
// it rather than being held at its edge; breaking, it never shows itself
// whole and calm, so that it is seen to give way.
TEST(ContentActorSprites, TheBarrierStandsHarmlessAndIsSeenToGiveWay) {
    constexpr int32_t kBarrier = 30;
    EXPECT_FALSE(AnyStepHas(kBarrier, 0, kAttack));
    const std::set<size_t> standing = PicturesOf(kBarrier, 0, 0);
    for (int32_t breaking : {1, 2}) {
        ASSERT_GE(StepsOf(kBarrier, breaking), 2u);
        for (size_t step = 0; step < StepsOf(kBarrier, breaking); ++step) {
            for (size_t picture : PicturesOf(kBarrier, breaking, step)) {
                EXPECT_EQ(standing.count(picture), 0u) << "animation " << breaking << " step " << step;
            }
        }
        EXPECT_NE(PicturesOf(kBarrier, breaking, 0), PicturesOf(kBarrier, breaking, StepsOf(kBarrier, breaking) - 1))
            << "animation " << breaking << " falls apart";
    }
}

// The first form's ledge climb (set 12, animation 21). The grab places the
// box of the climb's first frame with its top on the ledge tile's top and,
// as walls stop the player short of the ledge's column, its near edge a
// whole tile from that column; when the climb ends, the standing box takes
// the place of the last frame's box. The player stands on the ledge only
// when that last box lies a tile forward and one standing height up, with
// the standing box's size.
TEST(ContentActorSprites, TheLedgeClimbEndsATileForwardAndAStandingHeightUp) {
    constexpr int32_t kTileSize = 24;
    constexpr int32_t kClimb = 21;
    constexpr int32_t kStand = 0;
    const std::array<int32_t, 4> stand = BodyBoxOf(12, kStand, 0);
    ASSERT_GT(stand[3], 0);
    const size_t steps = StepsOf(12, kClimb);
    ASSERT_GE(steps, 2u);
    EXPECT_EQ(BodyBoxOf(12, kClimb, 0), stand) << "the grab hangs the standing box";
    const std::array<int32_t, 4> onTop = {stand[0] + kTileSize, stand[1] - stand[3], stand[2], stand[3]};
    EXPECT_EQ(BodyBoxOf(12, kClimb, steps - 1), onTop);
    // In between the box hangs or has arrived, never somewhere else.
    for (size_t step = 1; step + 1 < steps; ++step) {
        const std::array<int32_t, 4> box = BodyBoxOf(12, kClimb, step);
        EXPECT_TRUE(box == stand || box == onTop) << "step " << step;
    }
}

TEST(ContentActorSprites, FiguresKeepToTheirPictureAndFaceRight) {
    SpriteFigure::Colours colours;
    colours.ink = 0x0C1018;
    colours.body = 0x34496A;
    colours.trim = 0x6080B0;
    colours.eye = 0xF2B233;
    colours.flash = 0xF4F6F8;
    for (SpriteFigure::Kind kind : {SpriteFigure::Kind::Walker, SpriteFigure::Kind::Flyer, SpriteFigure::Kind::Orb}) {
        for (const std::string& pose : SpriteFigure::Poses(kind)) {
            const Raster picture = SpriteFigure::Draw(kind, pose, 32, 40, colours);
            ASSERT_EQ(picture.Width(), 32);
            ASSERT_EQ(picture.Height(), 40);
            int64_t eyeX = 0;
            int64_t eyes = 0;
            int64_t drawn = 0;
            for (int32_t y = 0; y < 40; ++y) {
                for (int32_t x = 0; x < 32; ++x) {
                    drawn += picture.At(x, y) != Raster::kTransparent;
                    if (picture.At(x, y) == colours.eye) {
                        eyeX += x;
                        ++eyes;
                    }
                }
            }
            EXPECT_GT(drawn, 40) << pose;
            // The lit eye sits on the right half: the side the figure faces.
            if (eyes > 0) {
                EXPECT_GE(eyeX / eyes, 15) << pose;
            }
        }
    }
    // A walker stands on the bottom row of its picture; one that jumps does not.
    const auto lowest = [&](const std::string& pose) {
        const Raster picture = SpriteFigure::Draw(SpriteFigure::Kind::Walker, pose, 32, 40, colours);
        for (int32_t y = 39; y >= 0; --y) {
            for (int32_t x = 0; x < 32; ++x) {
                if (picture.At(x, y) != Raster::kTransparent) return y;
            }
        }
        return -1;
    };
    EXPECT_EQ(lowest("stand"), 39);
    EXPECT_EQ(lowest("crouch"), 39);
    EXPECT_LT(lowest("jump"), 39);
}

}  // namespace
