#include "TempAppDirectory.h"

#include "CSingleton.h"
#include "HostPath.h"
#include "ICFileMgr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

TempAppDirectory::TempAppDirectory() {
    m_engineDirectory = HostPath::ToWide(m_hostDirectory);
    HostPath::SetAppDirectory(m_hostDirectory.c_str());
    EXPECT_TRUE(m_singletons.Init(20, 20, true));
    CSingleton::SetTable(&m_singletons);
}

TempAppDirectory::~TempAppDirectory() {
    delete CSingleton::GetInstance(ICFileMgr::kClassKey);
    CSingleton::SetTable(nullptr);
    HostPath::SetAppDirectory(nullptr);
    // Lets the scratch directory's removal reach its files.
    SetReadOnly(false);
}

std::string TempAppDirectory::HostPathOf(const std::string& name) const {
    return m_hostDirectory + "/" + name;
}

std::u16string TempAppDirectory::EnginePathOf(const std::string& name) const {
    return m_engineDirectory + u"\\" + HostPath::ToWide(name);
}

void TempAppDirectory::WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(HostPathOf(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good());
}

void TempAppDirectory::WriteFile(const std::string& name, const std::string& text) const {
    WriteFile(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> TempAppDirectory::ReadFile(const std::string& name, bool* exists) const {
    std::ifstream in(HostPathOf(name), std::ios::binary);
    if (exists != nullptr) {
        *exists = in.is_open();
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TempAppDirectory::Exists(const std::string& name) const {
    return fs::exists(HostPathOf(name));
}

std::vector<std::string> TempAppDirectory::List() const {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_hostDirectory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void TempAppDirectory::SetReadOnly(bool readOnly) const {
    const fs::perms perms = readOnly ? fs::perms::owner_read | fs::perms::owner_exec : fs::perms::owner_all;
    std::error_code ignored;
    fs::permissions(m_hostDirectory, perms, ignored);
}
