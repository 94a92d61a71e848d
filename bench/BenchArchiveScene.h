#ifndef BENCHARCHIVESCENE_H
#define BENCHARCHIVESCENE_H

#include <cstdint>
#include <functional>
#include <string>

#include "BigArchiveWriter.h"
#include "CAppBase.h"
#include "MountedArchive.h"

class CGraphics2d_Lite;
class OffScreenDevice;

// The stage the sprite and level benchmarks draw on: an application that
// makes the resource types of sprite data and images, a 240 x 320 r5g6b5
// off-screen device with the 2D renderer inside a frame, and an archive the
// benchmark fills, mounted for the sprite home and behind the application's
// resource manager. The sprite home goes with the stage.
class BenchArchiveScene {
public:
    static constexpr uint32_t kWidth = 240;
    static constexpr uint32_t kHeight = 320;
    static constexpr uint32_t kBmpType = 0xB717945F;
    static constexpr uint32_t kImageType = 0xE179EFBE;

    using ArchiveFiller = std::function<bool(BigArchiveWriter& writer, std::string* error)>;

    // `name` names the archive's temporary file.
    BenchArchiveScene(const std::string& name, const ArchiveFiller& fill);
    ~BenchArchiveScene();

    BenchArchiveScene(const BenchArchiveScene&) = delete;
    BenchArchiveScene& operator=(const BenchArchiveScene&) = delete;

    bool IsMounted() const { return m_mounted; }
    CGraphics2d_Lite* Renderer() const { return m_renderer; }

private:
    class Application : public CAppBase {
    public:
        int32_t Init() override;
        void Shutdown() override {}
        void RunFrame() override {}
        void HandleEvent(uint32_t, uint32_t, uint32_t) override {}
        CResource* CreateResource(uint32_t typeKey) override;
    };

    bool Mount(const std::string& name, const ArchiveFiller& fill);

    Application m_app;
    OffScreenDevice* m_device = nullptr;
    CGraphics2d_Lite* m_renderer = nullptr;
    MountedArchive m_archive;
    bool m_mounted = false;
};

#endif
