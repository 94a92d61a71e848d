#include "BenchRunFolder.h"

#include <unistd.h>

#include <string>

namespace fs = std::filesystem;

BenchRunFolder::BenchRunFolder() {
    std::string pattern = (fs::temp_directory_path() / "mchvx2-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    m_path = pattern;
    for (const char* file : {"mchvx2.big", "properties.dat", "device.conf", "softkey.conf"}) {
        std::error_code error;
        fs::copy_file(GameDirectory() / file, m_path / file, error);
        if (error) {
            Remove();
            return;
        }
    }
}

BenchRunFolder::~BenchRunFolder() { Remove(); }

fs::path BenchRunFolder::GameDirectory() {
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "game";
}

void BenchRunFolder::Remove() {
    std::error_code ignored;
    if (!m_path.empty()) fs::remove_all(m_path, ignored);
    m_path.clear();
}
