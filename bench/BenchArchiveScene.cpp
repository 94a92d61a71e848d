#include "BenchArchiveScene.h"

#include <cstdio>

#include "../tests/graphics2d/OffScreenDevice.h"
#include "AppServices.h"
#include "CGraphics2d_Lite.h"
#include "CRegistry.h"
#include "CResourceBinary.h"
#include "CResourceDIB.h"
#include "CResourceKeyset.h"
#include "CResourceRenderSurface.h"
#include "SK_Home.h"
#include "SpriteDataWriter.h"

namespace {

constexpr int32_t kManagerBuckets = 20;
constexpr uint32_t kManagerBlocks = 8;

}  // namespace

int32_t BenchArchiveScene::Application::Init() {
    if (!CreateSingletonTable()) return 1;
    SetRegistry(new CRegistry());
    return 0;
}

CResource* BenchArchiveScene::Application::CreateResource(uint32_t typeKey) {
    if (typeKey == SpriteDataWriter::kKeysetType) return new CResourceKeyset();
    if (typeKey == SpriteDataWriter::kBinaryType) return new CResourceBinary();
    if (typeKey == kBmpType) return new CResourceDIB();
    if (typeKey == kImageType) return new CResourceRenderSurface();
    return nullptr;
}

BenchArchiveScene::BenchArchiveScene(const std::string& name, const ArchiveFiller& fill) {
    SetApplication(&m_app);
    m_app.Init();
    m_device = new OffScreenDevice(kWidth, kHeight, RSBFormat_R5G6B5);
    m_device->Open();
    m_renderer = new CGraphics2d_Lite();
    m_renderer->Open();
    m_renderer->BeginFrame();
    m_mounted = Mount(name, fill);
}

BenchArchiveScene::~BenchArchiveScene() {
    delete GetSpriteHome();
    m_renderer->EndFrame();
    m_renderer->Close();
    delete m_renderer;
    m_device->Close();
    delete m_device;
    m_archive.Unmount();
    SetApplication(nullptr);
}

bool BenchArchiveScene::Mount(const std::string& name, const ArchiveFiller& fill) {
    std::string error;
    BigArchiveWriter writer(IdTableForm::List);
    if (fill(writer, &error) && m_archive.Mount(&m_app, writer, name, kManagerBuckets, kManagerBlocks, &error)) {
        return true;
    }
    std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
    return false;
}
