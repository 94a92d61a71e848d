#include "BenchArchiveScene.h"

#include <unistd.h>

#include <cstdio>

#include "../tests/graphics2d/OffScreenDevice.h"
#include "AppServices.h"
#include "CGraphics2d_Lite.h"
#include "CRegistry.h"
#include "CRegistryItem.h"
#include "CResourceBinary.h"
#include "CResourceDIB.h"
#include "CResourceKeyset.h"
#include "CResourceManager_v1.h"
#include "CResourceRenderSurface.h"
#include "HostPath.h"
#include "SK_Home.h"
#include "SpriteDataWriter.h"

namespace {

constexpr int32_t kManagerBuckets = 20;
constexpr uint32_t kManagerBlocks = 8;
constexpr int32_t kArchivePriority = 0x3FFFFFFF;

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
    Mount(name, fill);
}

BenchArchiveScene::~BenchArchiveScene() {
    delete GetSpriteHome();
    m_renderer->EndFrame();
    m_renderer->Close();
    delete m_renderer;
    m_device->Close();
    delete m_device;
    m_app.SetResourceManager(nullptr);
    if (m_manager != nullptr) m_manager->Close();
    delete m_manager;
    if (m_archiveItem != nullptr) m_app.GetRegistry()->Unregister(m_archiveItem);
    delete m_archiveItem;
    m_archive.Close();
    if (!m_path.empty()) std::filesystem::remove(m_path);
    SetApplication(nullptr);
}

void BenchArchiveScene::Mount(const std::string& name, const ArchiveFiller& fill) {
    std::string error;
    BigArchiveWriter writer(IdTableForm::List);
    m_path = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()) + ".big");
    if (!fill(writer, &error) || !writer.WriteFile(m_path.string(), error)) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
        return;
    }
    m_archive.Open(HostPath::ToWide(m_path.string()).c_str());
    m_archiveItem = m_app.GetRegistry()->NewItem(SK_Home::kArchiveRegistryId, &m_archive, CBigFileReader::kClassKey,
                                                 kArchivePriority);
    m_app.GetRegistry()->Register(m_archiveItem);
    m_manager = new CResourceManager_v1();
    m_manager->Open(&m_archive, kManagerBuckets, kManagerBlocks, true);
    m_app.SetResourceManager(m_manager);
}
