#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory(const std::string& stem) {
    std::string pattern = (fs::temp_directory_path() / (stem + "-XXXXXX")).string();
    EXPECT_NE(mkdtemp(pattern.data()), nullptr) << pattern;
    m_path = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}
