// 200 animated sprite instances drawn per frame into a 240 x 320 r5g6b5
// surface: presenters ticking and walking their pictures through the
// sprite home, against the same image blits called directly on the 2D
// renderer with the positions and flips worked out beforehand. The sprite
// is a small walking figure of three images with transparent surroundings;
// every other instance is mirrored. The data goes through the real archive,
// resource manager and image decoder once, before timing.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AppServices.h"
#include "BenchArchiveScene.h"
#include "CColor.h"
#include "CGraphics2d_Lite.h"
#include "SK_Home.h"
#include "SK_Presenter.h"
#include "SpriteBitmapWriter.h"
#include "SpriteDataWriter.h"

namespace {

constexpr int32_t kInstances = 200;
constexpr int32_t kFrameMs = 60;
constexpr int32_t kColumns = 20;
constexpr uint8_t kMirrored = 2;
// Animation: two poses of 120 ms (stored in 10 ms units).
constexpr uint16_t kPoseDuration = 12;
constexpr int32_t kCycleMs = 240;
constexpr int32_t kPoseMs = 120;

// The figure's images: filled ellipses in a transparent box.
struct Shape {
    int32_t width;
    int32_t height;
    uint32_t rgb;
};
const Shape kShapes[] = {{12, 10, 0xF0C090}, {14, 14, 0x3060C0}, {12, 10, 0x404040}, {10, 11, 0x505050}};

struct Part {
    uint16_t module;
    int16_t dx;
    int16_t dy;
};
// Frames: head, body and one of two leg images; the first part is on top.
const std::vector<Part> kFrames[] = {{{0, -6, -30}, {1, -7, -21}, {2, -6, -9}},
                                     {{0, -6, -31}, {1, -7, -22}, {3, -5, -10}}};

std::vector<uint8_t> EllipseBitmap(const Shape& shape) {
    std::vector<uint8_t> indices;
    for (int32_t y = 0; y < shape.height; ++y) {
        for (int32_t x = 0; x < shape.width; ++x) {
            const int64_t dx = 2 * x + 1 - shape.width;
            const int64_t dy = 2 * y + 1 - shape.height;
            const bool inside =
                dx * dx * shape.height * shape.height + dy * dy * shape.width * shape.width <=
                static_cast<int64_t>(shape.width) * shape.width * shape.height * shape.height;
            indices.push_back(inside ? static_cast<uint8_t>(1 + (x + y) % 2) : 0);
        }
    }
    std::vector<uint8_t> bytes;
    std::string error;
    SpriteBitmapWriter::EncodeIndexed(shape.width, shape.height,
                                      {SpriteBitmapWriter::kTransparent, shape.rgb, shape.rgb ^ 0x101010}, indices,
                                      &bytes, &error);
    return bytes;
}

bool AddSpriteData(BigArchiveWriter& writer, std::string* error) {
    using namespace spritedata;
    Definition definition;
    std::vector<std::vector<uint8_t>> images;
    for (uint16_t k = 0; k < 4; ++k) {
        definition.slots.push_back({k, kNone});
        definition.imageModules.push_back({k, 0, 0});
        images.push_back(EllipseBitmap(kShapes[k]));
    }
    definition.rectModules = {{kBoxColour, 14, 32, 1}};
    definition.setCount = 1;
    SpriteSet set;
    for (const std::vector<Part>& frame : kFrames) {
        Frame stored;
        for (const Part& part : frame) stored.push_back({part.module, part.dx, part.dy});
        stored.push_back({4, -7, -32});
        set.frames.push_back(stored);
    }
    set.poses = {{{0, 0, 0}}, {{1, 0, 0}}};
    set.animations = {{kAllTransforms, {{0, kPoseDuration}, {1, kPoseDuration}}}};
    set.sprites = {{{0, 1, 2, 3}, kNone}};
    return SpriteDataWriter::AddEmptyDirectory(writer, error) &&
           SpriteDataWriter::AddToArchive(writer, Ids(), definition, {set}, images, true, error);
}

// The stage with the sprite prepared.
class Scene {
public:
    Scene() : m_stage("bench-sprite", AddSpriteData) {
        m_stage.Renderer()->Enable(CGraphics2d_Lite::kCapColorKey);
        m_ready = m_stage.IsMounted() && Prepare();
    }

    bool IsReady() const { return m_ready; }
    CGraphics2d_Lite* Renderer() const { return m_stage.Renderer(); }

private:
    static bool Prepare() {
        SK_Home* home = GetSpriteHome();
        home->Load();
        if (!home->IsLoaded()) return false;
        home->RequestSprite(0, 0);
        bool ok = true;
        while (home->GetQueueProgress() != 0) home->UpdatePreparation(1000, &ok);
        return ok && home->IsSpritePrepared(0, 0);
    }

    BenchArchiveScene m_stage;
    bool m_ready = false;
};

struct Instance {
    int32_t x;
    int32_t y;
    uint8_t transform;
    int32_t phaseMs;
};

std::vector<Instance> Instances() {
    std::vector<Instance> instances;
    for (int32_t i = 0; i < kInstances; ++i) {
        instances.push_back({8 + (i % kColumns) * 12, 34 + (i / kColumns) * 29,
                             static_cast<uint8_t>(i % 2 != 0 ? kMirrored : 0), (i * 37) % kCycleMs});
    }
    return instances;
}

void BM_SpritesOurs(benchmark::State& state) {
    Scene scene;
    if (!scene.IsReady()) {
        state.SkipWithError("the sprite was not prepared");
        return;
    }
    std::vector<SK_Presenter> presenters(kInstances);
    const std::vector<Instance> instances = Instances();
    for (int32_t i = 0; i < kInstances; ++i) {
        presenters[i].SetSprite(0, 0);
        presenters[i].SetAnimation(0, instances[i].transform, true);
        presenters[i].Tick(instances[i].phaseMs);
    }
    for (auto _ : state) {
        for (int32_t i = 0; i < kInstances; ++i) {
            presenters[i].Tick(kFrameMs);
            presenters[i].Draw(instances[i].x, instances[i].y);
        }
    }
    state.SetItemsProcessed(state.iterations() * kInstances);
}

// One blit of the reference: an image at a place, flipped.
struct Blit {
    CRenderSurface* image;
    uint32_t flip;
    int32_t dx;
    int32_t dy;
};

// The blits of each frame, plain and mirrored, last part first as drawn.
std::vector<Blit> FrameBlits(uint32_t frame, bool mirrored) {
    SK_Home* home = GetSpriteHome();
    std::vector<Blit> blits;
    for (auto part = kFrames[frame].rbegin(); part != kFrames[frame].rend(); ++part) {
        uint32_t flip = 0;
        CRenderSurface* image = home->GetSlot(part->module)->GetImage(mirrored ? kMirrored : 0, &flip);
        const int32_t width = kShapes[part->module].width;
        blits.push_back({image, flip, mirrored ? -(part->dx + width) : part->dx, part->dy});
    }
    return blits;
}

void BM_SpritesReference(benchmark::State& state) {
    Scene scene;
    if (!scene.IsReady()) {
        state.SkipWithError("the sprite was not prepared");
        return;
    }
    const std::vector<Blit> blits[2][2] = {{FrameBlits(0, false), FrameBlits(0, true)},
                                           {FrameBlits(1, false), FrameBlits(1, true)}};
    std::vector<Instance> instances = Instances();
    CGraphics2d_Lite* renderer = scene.Renderer();
    for (auto _ : state) {
        for (Instance& instance : instances) {
            instance.phaseMs = (instance.phaseMs + kFrameMs) % kCycleMs;
            const uint32_t frame = instance.phaseMs < kPoseMs ? 0 : 1;
            for (const Blit& blit : blits[frame][instance.transform != 0 ? 1 : 0]) {
                renderer->PushMatrix();
                renderer->Translate((instance.x + blit.dx) * 65536, (instance.y + blit.dy) * 65536);
                renderer->DrawImage(blit.image, blit.flip, nullptr);
                renderer->PopMatrix();
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kInstances);
}

}  // namespace

BENCHMARK(BM_SpritesOurs)->Name("Sprites200x240x320/ours");
BENCHMARK(BM_SpritesReference)->Name("Sprites200x240x320/reference");
