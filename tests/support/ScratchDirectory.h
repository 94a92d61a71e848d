#ifndef SCRATCHDIRECTORY_H
#define SCRATCHDIRECTORY_H

#include <filesystem>
#include <string>

// A directory of this object's own under the temporary folder, made with a
// name no other process (another checkout's test run included) can be
// given, and removed with everything in it on destruction.
class ScratchDirectory {
public:
    // `stem` starts the directory's name, to tell whose it is.
    explicit ScratchDirectory(const std::string& stem);
    ~ScratchDirectory();

    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The host path of `name` in the directory.
    std::string PathOf(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

#endif
