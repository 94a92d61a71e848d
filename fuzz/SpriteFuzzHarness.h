#ifndef SPRITEFUZZHARNESS_H
#define SPRITEFUZZHARNESS_H

// Shared by the sprite-data fuzz targets: an archive holding the sprite key
// set, a definition and set 0, served from memory as the application's
// archive through a real resource manager, so that the sprite home reads
// the input exactly as the game would. Then every sprite of a set that
// loads is prepared and every animation walked (frames, bounds, hits and
// boxes), so that an index the readers let through would be read.

#include <cstdint>
#include <string>
#include <vector>

#include "BigArchiveWriter.h"
#include "CAppBase.h"
#include "CBigFileReader.h"
#include "CResourceBinary.h"
#include "CResourceFactory.h"
#include "CResourceKeyset.h"
#include "CResourceManager_v1.h"
#include "FuzzCheck.h"
#include "MemoryFileMgr.h"
#include "SK_Home.h"
#include "SK_Presenter.h"
#include "SpriteDataWriter.h"

namespace spritefuzz {

constexpr int32_t kManagerBuckets = 20;
constexpr uint32_t kManagerBlocks = 8;
constexpr int32_t kTicks = 3;
constexpr int32_t kTickMs = 70;

// The least application the resource manager needs: it serves the types of
// the sprite data.
class FuzzApplication : public CAppBase {
public:
    int32_t Init() override { return 0; }
    void Shutdown() override {}
    void RunFrame() override {}
    void HandleEvent(uint32_t, uint32_t, uint32_t) override {}
    CResource* CreateResource(uint32_t typeKey) override {
        if (typeKey == SpriteDataWriter::kKeysetType) return new CResourceKeyset();
        if (typeKey == SpriteDataWriter::kBinaryType) return new CResourceBinary();
        return nullptr;
    }
};

// Every animation of every sprite of the set: played, measured, hit-tested
// and searched for boxes, under the transforms it allows.
inline void WalkSet(SK_Home* home, uint8_t set) {
    const SK_SpriteSet* record = home->GetSpriteSet(set);
    if (record == nullptr) return;
    const uint32_t sprites = record->sprites.Count();
    for (uint32_t sprite = 0; sprite < sprites; ++sprite) home->PrepareSpriteImages(set, static_cast<uint8_t>(sprite));
    for (uint32_t sprite = 0; sprite < sprites; ++sprite) {
        for (uint32_t animation = 0; animation < record->animations.Count(); ++animation) {
            SK_Presenter presenter(set, sprite);
            presenter.SetAnimation(animation, 0, true);
            presenter.SetTransform(2);
            for (int32_t tick = 0; tick < kTicks; ++tick) {
                CRect rect;
                presenter.GetFrameRect(&rect);
                presenter.HitTest(rect);
                presenter.ComputeMainBox();
                presenter.ComputeBox(2);
                presenter.Tick(kTickMs);
                Check(!presenter.IsReady() || presenter.GetFrame() < presenter.GetFrameCount());
            }
        }
    }
    home->ReleaseAll();
    Check(!home->IsSetLoaded(set));
}

// Writes the archive, mounts it, loads the definition and set 0 into a
// fresh home and walks what loaded.
inline void Run(const std::vector<uint8_t>& definition, const std::vector<uint8_t>& set) {
    static FuzzApplication application;
    MemoryFileMgr& files = MemoryFileMgr::Instance();
    const spritedata::Ids ids;
    std::string error;
    BigArchiveWriter writer(IdTableForm::List);
    std::vector<uint8_t> archiveBytes;
    const bool written =
        SpriteDataWriter::AddEmptyDirectory(writer, &error) &&
        writer.AddPayload(SpriteDataWriter::ArchiveId(SpriteDataWriter::kKeysetId), SpriteDataWriter::kKeysetType,
                          SpriteDataWriter::EncodeKeyset(ids), false, 4, error) &&
        (definition.empty() || writer.AddPayload(SpriteDataWriter::ArchiveId(ids.definition),
                                                 SpriteDataWriter::kBinaryType, definition, false, 4, error)) &&
        (set.empty() || writer.AddPayload(SpriteDataWriter::ArchiveId(ids.setBase), SpriteDataWriter::kBinaryType, set,
                                          false, 4, error)) &&
        writer.Build(archiveBytes, error);
    Check(written);
    files.Serve(archiveBytes.data(), static_cast<uint32_t>(archiveBytes.size()));
    CBigFileReader archive;
    Check(archive.Open(MemoryFileMgr::kFileName));
    auto* manager = new CResourceManager_v1();
    Check(manager->Open(&archive, kManagerBuckets, kManagerBlocks, true));
    SetApplication(&application);
    application.SetResourceManager(manager);

    auto* home = new SK_Home();
    home->Load();
    if (home->IsLoaded() && home->GetSetCount() > 0 && home->LoadSpriteSet(0)) WalkSet(home, 0);
    delete home;

    application.SetResourceManager(nullptr);
    SetApplication(nullptr);
    manager->Close();
    delete manager;
    archive.Close();
    // The manager made the factory in the run's singleton table.
    delete CSingleton::GetInstance(CResourceFactory::kClassKey);
}

}  // namespace spritefuzz

#endif
