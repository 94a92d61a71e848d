#ifndef LEVELPLAYHARNESS_H
#define LEVELPLAYHARNESS_H

// Loads a level map and script through the world's step-wise loader, as
// the game does, and plays it frame by frame with the keys given, painting
// every frame on an off-screen device. A level that leaves play for the
// game-over box is retried from its checkpoint, as the Retry item does.
// The archive (LevelPlayArchive.h) is served from memory.

#include <cstdint>
#include <string>
#include <vector>

#include "../tests/graphics2d/OffScreenDevice.h"
#include "AppServices.h"
#include "AppWorld.h"
#include "CAppBase.h"
#include "CBigFileReader.h"
#include "CBlitUtil.h"
#include "CGameInput.h"
#include "CGameProgress.h"
#include "CGameSettings.h"
#include "CGameWorld.h"
#include "CGraphics2d_Lite.h"
#include "CRandGen.h"
#include "CRegistry.h"
#include "CResourceBinary.h"
#include "CResourceDIB.h"
#include "CResourceFactory.h"
#include "CResourceKeyset.h"
#include "CResourceManager_v1.h"
#include "CResourceRenderSurface.h"
#include "FuzzCheck.h"
#include "GameKeys.h"
#include "JGraphics.h"
#include "LevelPlayArchive.h"
#include "MemoryFileMgr.h"
#include "SK_Home.h"

namespace levelplay {

constexpr int32_t kScreenWidth = 128;
constexpr int32_t kScreenHeight = 160;
constexpr int32_t kFrameMs = 50;
constexpr int32_t kRetries = 2;
constexpr int32_t kLoadStepLimit = 200;
constexpr int32_t kManagerBuckets = 20;
constexpr uint32_t kManagerBlocks = 8;
constexpr uint32_t kRegistryId = 0xA0D7812D;
constexpr int32_t kRegistryPriority = 0x3FFFFFFF;
constexpr uint32_t kSeed = 20;
// The keys a frame's byte holds, bit by bit.
constexpr int32_t kKeyCodes[8] = {EngineKey::kUp,     EngineKey::kDown, EngineKey::kLeft, EngineKey::kRight,
                                  EngineKey::kSelect, '1',              '3',              '7'};

// The application the resources and images need: a root registry that
// holds the archive (the base deletes it), and the archive's resource types.
class PlayApplication : public CAppBase {
public:
    PlayApplication() { SetRegistry(new CRegistry()); }
    int32_t Init() override { return 0; }
    void Shutdown() override {}
    void RunFrame() override {}
    void HandleEvent(uint32_t, uint32_t, uint32_t) override {}
    CResource* CreateResource(uint32_t typeKey) override {
        if (typeKey == SpriteDataWriter::kKeysetType) return new CResourceKeyset();
        if (typeKey == SpriteDataWriter::kBinaryType) return new CResourceBinary();
        if (typeKey == SpriteDataWriter::kBmpType) return new CResourceDIB();
        if (typeKey == kImageType) return new CResourceRenderSurface();
        return nullptr;
    }
};

// What every run shares: the memory file, the application and the screen.
class PlayStage {
public:
    PlayStage() : m_files(MemoryFileMgr::Instance()), m_device(kScreenWidth, kScreenHeight, RSBFormat_X8R8G8B8) {
        SetApplication(&m_application);
        Check(m_device.Open());
        Check(m_renderer.Open());
        m_renderer.BeginFrame();
    }

    // The services the runs made live in the memory file's singleton table,
    // which does not delete what it holds.
    ~PlayStage() {
        for (uint32_t key : {CRandGen::kClassKey, CBlitUtil::kClassKey, CGameSettings::kClassKey}) {
            delete CSingleton::GetInstance(key);
        }
    }

    // One level played from the given streams and keys, then put away.
    void Play(uint32_t level, const std::vector<uint8_t>& map, const std::vector<uint8_t>& scripts,
              const std::vector<uint8_t>& keys, int32_t frames) {
        std::string error;
        Check(Build(map, scripts, m_archiveBytes, error));
        m_files.Serve(m_archiveBytes.data(), static_cast<uint32_t>(m_archiveBytes.size()));
        Mount();
        GetRandom()->Seed(kSeed);
        auto* home = new SK_Home();
        home->Load();
        PlayLevel(level, keys, frames);
        delete home;
        Unmount();
    }

private:
    // The progress, which may own an image, goes before the archive.
    void PlayLevel(uint32_t level, const std::vector<uint8_t>& keys, int32_t frames) {
        CGameInput input;
        CGameProgress progress;
        progress.level = static_cast<int32_t>(level % kLevels);
        auto* world = new CGameWorld();
        SetAppWorld(world);
        world->Attach({&input, &progress, nullptr, nullptr, nullptr, nullptr});
        world->screenWidth = kScreenWidth;
        world->screenHeight = kScreenHeight;
        LoadLevel(*world);
        PlayFrames(*world, input, keys, frames);
        delete world;
        SetAppWorld(nullptr);
    }

    void Mount() {
        Check(m_archive.Open(MemoryFileMgr::kFileName));
        m_archiveItem = m_application.GetRegistry()->NewItem(kRegistryId, &m_archive, CBigFileReader::kClassKey,
                                                             kRegistryPriority);
        m_application.GetRegistry()->Register(m_archiveItem);
        m_manager = new CResourceManager_v1();
        Check(m_manager->Open(&m_archive, kManagerBuckets, kManagerBlocks, true));
        m_application.SetResourceManager(m_manager);
    }

    void Unmount() {
        m_manager->Close();
        m_application.SetResourceManager(nullptr);
        delete m_manager;
        m_application.GetRegistry()->Unregister(m_archiveItem);
        delete m_archiveItem;
        m_archive.Close();
        // The manager made the factory in the run's singleton table.
        delete CSingleton::GetInstance(CResourceFactory::kClassKey);
    }

    static void LoadLevel(CGameWorld& world) {
        int32_t step = 0;
        for (int32_t calls = 0; step < CGameWorld::kLoaded; ++calls) {
            Check(calls < kLoadStepLimit);
            step = world.LoadStep(step);
        }
    }

    // Keys change state where a frame's byte differs from the last one's.
    static void SetKeys(CGameInput& input, uint8_t now, uint8_t before) {
        for (uint32_t bit = 0; bit < 8; ++bit) {
            const bool down = ((now >> bit) & 1u) != 0;
            if (down != (((before >> bit) & 1u) != 0)) input.OnKey(kKeyCodes[bit], down);
        }
    }

    void PlayFrames(CGameWorld& world, CGameInput& input, const std::vector<uint8_t>& keys, int32_t frames) {
        int32_t retries = kRetries;
        uint8_t before = 0;
        for (int32_t frame = 0; frame < frames && world.loaded; ++frame) {
            const uint8_t now = keys.empty() ? 0 : keys[static_cast<size_t>(frame) % keys.size()];
            SetKeys(input, now, before);
            before = now;
            input.LatchFrame();
            if (world.Update(kFrameMs) == CGameWorld::kLeavePlayResult) {
                if (retries-- == 0) return;
                world.RestoreCheckpoint();
            }
            if (world.loaded) world.Paint(m_graphics);
        }
    }

    PlayApplication m_application;
    MemoryFileMgr& m_files;
    OffScreenDevice m_device;
    CGraphics2d_Lite m_renderer;
    JGraphics m_graphics;
    std::vector<uint8_t> m_archiveBytes;
    CBigFileReader m_archive;
    CRegistryItem* m_archiveItem = nullptr;
    CResourceManager_v1* m_manager = nullptr;
};

}  // namespace levelplay

#endif
