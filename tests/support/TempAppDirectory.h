#ifndef TEMPAPPDIRECTORY_H
#define TEMPAPPDIRECTORY_H

#include "CHash.h"
#include "ScratchDirectory.h"

#include <string>
#include <vector>

class ICFileMgr;

// A fresh temporary directory made the application directory, with a
// singleton table for the file manager, for tests of code that reaches
// files. Everything is removed again on destruction.
class TempAppDirectory {
public:
    TempAppDirectory();
    ~TempAppDirectory();

    TempAppDirectory(const TempAppDirectory&) = delete;
    TempAppDirectory& operator=(const TempAppDirectory&) = delete;

    // The host path of a file in the directory.
    std::string HostPathOf(const std::string& name) const;
    // The engine's path of it: the wide directory, "\" and the name (with
    // "/" between its parts, as in a host name).
    std::u16string EnginePathOf(const std::string& name) const;
    const std::u16string& EngineDirectory() const { return m_engineDirectory; }

    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const;
    void WriteFile(const std::string& name, const std::string& text) const;
    // The file's bytes; `exists` tells a missing file from an empty one.
    std::vector<uint8_t> ReadFile(const std::string& name, bool* exists = nullptr) const;
    bool Exists(const std::string& name) const;
    // Names of the files in the directory, sorted.
    std::vector<std::string> List() const;

    // Makes the directory read-only (or writable again).
    void SetReadOnly(bool readOnly) const;

private:
    ScratchDirectory m_scratch{"engine-files"};
    std::string m_hostDirectory = m_scratch.Path().string();
    std::u16string m_engineDirectory;
    CHash m_singletons;
};

#endif
