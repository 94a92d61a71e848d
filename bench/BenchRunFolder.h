#ifndef BENCHRUNFOLDER_H
#define BENCHRUNFOLDER_H

#include <filesystem>

// A data folder of its own for the program: a fresh copy of the compiled
// content (the build's game/ folder, beside bench/), removed with the
// object. No path when it cannot be made.
class BenchRunFolder {
public:
    BenchRunFolder();
    ~BenchRunFolder();

    BenchRunFolder(const BenchRunFolder&) = delete;
    BenchRunFolder& operator=(const BenchRunFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

    // The build's game folder: the program and the content it was given.
    static std::filesystem::path GameDirectory();

private:
    void Remove();

    std::filesystem::path m_path;
};

#endif
