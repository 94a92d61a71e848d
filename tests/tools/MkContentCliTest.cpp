// The compiler's command line: help, usage errors, a full run, a failed run
// that leaves the previous output alone, and the dump.

#include "ArchiveDump.h"
#include "MkContentCli.h"
#include "ToolFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class MkContentCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() / ("mkcontent-cli-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "bad");
    }
    void TearDown() override { fs::remove_all(m_root); }

    int Run(const std::vector<std::string>& arguments) { return MkContentCli::Run(arguments, m_out, m_err); }

    void WriteBadManifest(const std::string& text) const {
        std::ofstream(m_root / "bad" / "content.txt") << text;
    }

    std::vector<uint8_t> Read(const fs::path& path) const {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(ToolFiles::Read(path.string(), bytes, error)) << error;
        return bytes;
    }

    fs::path m_root;
    std::string m_out;
    std::string m_err;
};

TEST_F(MkContentCliTest, HelpAndUsage) {
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(m_out.find("--dump ARCHIVE"), std::string::npos);
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"--frobnicate", "x"}), 2);
    EXPECT_EQ(Run({"only-one-folder"}), 2);
    EXPECT_NE(m_err.find("usage:"), std::string::npos);
}

TEST_F(MkContentCliTest, CompilesTheRepositoryContentAndDumpsIt) {
    const fs::path out = m_root / "game";
    ASSERT_EQ(Run({MKCONTENT_SOURCE_DIR, out.string()}), 0) << m_err;
    for (const char* name : {"mchvx2.big", "properties.dat", "device.conf", "softkey.conf"}) {
        EXPECT_TRUE(fs::exists(out / name)) << name;
    }
    EXPECT_EQ(Read(out / "device.conf"), Read(fs::path(MKCONTENT_SOURCE_DIR) / "config" / "device.conf"));
    ASSERT_EQ(Run({"--dump", (out / "mchvx2.big").string()}), 0) << m_err;
    EXPECT_NE(m_out.find("0x0000010F  binary"), std::string::npos);
    EXPECT_NE(m_out.find("1 string tables 0x00000400 \"English\""), std::string::npos);
    EXPECT_NE(m_out.find("0x0000017E  text \"Play\""), std::string::npos);
    EXPECT_NE(m_out.find("0x00000255  image  20 bytes  (6, 0xFFFFFFFF) (14, 0x00000801)"), std::string::npos);
    EXPECT_NE(m_out.find("248x28, 8 bits"), std::string::npos);
    EXPECT_NE(m_out.find("32000 samples, 4000 ms"), std::string::npos);
    EXPECT_NE(m_out.find("3 handles: 0x03000401 0x03000500 0x00000C00"), std::string::npos);
    // Stored rather than deflated, the archive holds the same entries.
    const fs::path stored = m_root / "stored";
    ASSERT_EQ(Run({"--no-compress", MKCONTENT_SOURCE_DIR, stored.string()}), 0) << m_err;
    EXPECT_GT(fs::file_size(stored / "mchvx2.big"), fs::file_size(out / "mchvx2.big"));
    EXPECT_EQ(Run({"--check", MKCONTENT_SOURCE_DIR}), 0) << m_err;
}

TEST_F(MkContentCliTest, BadManifestFailsWithItsLineAndKeepsTheOldOutput) {
    const fs::path out = m_root / "game";
    ASSERT_EQ(Run({MKCONTENT_SOURCE_DIR, out.string()}), 0) << m_err;
    const std::vector<uint8_t> before = Read(out / "mchvx2.big");
    const std::string bad = (m_root / "bad").string();

    WriteBadManifest("# nothing yet\npalette missing.txt\n");
    EXPECT_EQ(Run({bad, out.string()}), 1);
    EXPECT_NE(m_err.find("content.txt:2: cannot open"), std::string::npos) << m_err;

    WriteBadManifest("frobnicate 1\n");
    EXPECT_EQ(Run({bad, out.string()}), 1);
    EXPECT_NE(m_err.find("content.txt:1: unknown statement `frobnicate`"), std::string::npos) << m_err;

    std::ofstream(m_root / "bad" / "p.txt") << "colour ink 101010\n";
    WriteBadManifest("palette p.txt\nimages i.img\n");
    EXPECT_EQ(Run({bad, out.string()}), 1);
    EXPECT_NE(m_err.find("content.txt:2: images need the palette and the font first"), std::string::npos) << m_err;

    // Sources that parse but lack what the game needs fail validation.
    WriteBadManifest("palette p.txt\n");
    EXPECT_EQ(Run({bad, out.string()}), 1);
    EXPECT_NE(m_err.find("there is no string table"), std::string::npos) << m_err;

    EXPECT_EQ(Run({(m_root / "nowhere").string(), out.string()}), 1);
    EXPECT_EQ(Read(out / "mchvx2.big"), before);
    EXPECT_FALSE(fs::exists(out / "mchvx2.big.tmp"));
}

TEST_F(MkContentCliTest, BrokenSourcesOfEveryKindFailWithTheirFileAndLine) {
    struct Break {
        const char* file;
        const char* append;
        const char* place;
    };
    // Each appended line is the first bad one of its file.
    const std::vector<Break> breaks = {
        {"images/hud.img", "rect 0 0 4 white\n", "hud.img:"},
        {"fonts/font0.fnt", "glyph \"\u00e9\"\n#\n", "font0.fnt:"},
        {"sounds/sounds.snd", "  tone sine 440\n", "sounds.snd:"},
        {"strings/en.txt", "Hello without an id\n", "en.txt:"},
        {"sprites/sprites.spr", "set 57\n  anim 0 missing:100\n", "sprites.spr:"},
        {"config/device.conf", "# a comment\n", "device.conf:"},
    };
    for (const Break& broken : breaks) {
        const fs::path tree = m_root / "tree";
        fs::remove_all(tree);
        fs::copy(MKCONTENT_SOURCE_DIR, tree, fs::copy_options::recursive);
        std::ofstream(tree / broken.file, std::ios::app) << broken.append;
        EXPECT_EQ(Run({"--check", tree.string()}), 1) << broken.file;
        EXPECT_NE(m_err.find(broken.place), std::string::npos) << m_err;
        EXPECT_EQ(m_err.back(), '\n');
    }
}

TEST_F(MkContentCliTest, DumpRefusesWhatIsNoArchive) {
    std::ofstream(m_root / "junk.big") << "not an archive at all, but long enough to have a header......";
    EXPECT_EQ(Run({"--dump", (m_root / "junk.big").string()}), 1);
    EXPECT_EQ(m_err.rfind("mkcontent: ", 0), 0u);
    EXPECT_EQ(Run({"--dump", (m_root / "none.big").string()}), 1);
}

}  // namespace
