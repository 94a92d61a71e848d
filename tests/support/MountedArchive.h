#ifndef MOUNTEDARCHIVE_H
#define MOUNTEDARCHIVE_H

#include <cstdint>
#include <filesystem>
#include <string>

#include "CBigFileReader.h"

class BigArchiveWriter;
class CAppBase;
class CRegistryItem;
class CResourceManager_v1;

// A resource archive written to a temporary file and opened as the
// application's archive: registered where resources look for it, with a
// resource manager open over it that the application uses. Unmounted again
// on destruction.
class MountedArchive {
public:
    MountedArchive() = default;
    ~MountedArchive();

    MountedArchive(const MountedArchive&) = delete;
    MountedArchive& operator=(const MountedArchive&) = delete;

    // `stem` names the file, which the process id keeps apart from other
    // runs; `buckets` and `blocks` size the manager's table. On failure,
    // `error` says which step failed.
    bool Mount(CAppBase* app, BigArchiveWriter& writer, const std::string& stem, int32_t buckets, uint32_t blocks,
               std::string* error);
    // Closes the manager, hands the application none, and removes the file.
    void Unmount();

    CResourceManager_v1* Manager() const { return m_manager; }

private:
    CAppBase* m_app = nullptr;
    std::filesystem::path m_path;
    CBigFileReader m_archive;
    CRegistryItem* m_archiveItem = nullptr;
    CResourceManager_v1* m_manager = nullptr;
};

#endif
