#include "MountedArchive.h"

#include <unistd.h>

#include "BigArchiveWriter.h"
#include "CAppBase.h"
#include "CRegistry.h"
#include "CResourceManager_v1.h"
#include "HostPath.h"

namespace {

// The registry id under which images and other resources find the archive.
constexpr uint32_t kArchiveRegistryId = 0xA0D7812D;
constexpr int32_t kArchivePriority = 0x3FFFFFFF;

}  // namespace

MountedArchive::~MountedArchive() { Unmount(); }

bool MountedArchive::Mount(CAppBase* app, BigArchiveWriter& writer, const std::string& stem, int32_t buckets,
                           uint32_t blocks, std::string* error) {
    m_app = app;
    m_path = std::filesystem::temp_directory_path() / (stem + "-" + std::to_string(::getpid()) + ".big");
    if (!writer.WriteFile(m_path.string(), *error)) return false;
    if (!m_archive.Open(HostPath::ToWide(m_path.string()).c_str())) {
        *error = "the archive does not open";
        return false;
    }
    m_archiveItem =
        app->GetRegistry()->NewItem(kArchiveRegistryId, &m_archive, CBigFileReader::kClassKey, kArchivePriority);
    app->GetRegistry()->Register(m_archiveItem);
    m_manager = new CResourceManager_v1();
    if (!m_manager->Open(&m_archive, buckets, blocks, true)) {
        *error = "the resource manager does not open";
        return false;
    }
    app->SetResourceManager(m_manager);
    return true;
}

void MountedArchive::Unmount() {
    if (m_manager != nullptr) {
        m_manager->Close();
        m_app->SetResourceManager(nullptr);
        delete m_manager;
        m_manager = nullptr;
    }
    if (m_archiveItem != nullptr) {
        m_app->GetRegistry()->Unregister(m_archiveItem);
        delete m_archiveItem;
        m_archiveItem = nullptr;
    }
    m_archive.Close();
    if (!m_path.empty()) std::filesystem::remove(m_path);
    m_path.clear();
}
