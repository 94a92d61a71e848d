#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AssertCounter.h"
#include "CCrc32.h"
#include "CHighScoreTable.h"
#include "CPrefsRecord.h"
#include "CSaveGameRecord.h"
#include "TempAppDirectory.h"

namespace {

// CRC-32 with polynomial 0x04C11DB7, most significant bit first, all ones
// in and out: computed bit by bit, apart from the engine's tables.
uint32_t ReferenceCrc(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint32_t>(data[i]) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000) != 0 ? (crc << 1) ^ 0x04C11DB7 : crc << 1;
    }
    return ~crc;
}

// A file image: the reference CRC of the data, little-endian, then the data.
std::vector<uint8_t> Image(const std::vector<uint8_t>& data) {
    const uint32_t crc = ReferenceCrc(data.data(), data.size());
    std::vector<uint8_t> out;
    out.reserve(4 + data.size());
    for (int32_t shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(crc >> shift));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::u16string Name(const WChar* name) { return name == nullptr ? u"<null>" : std::u16string(name); }

class ChecksummedRecordTest : public ::testing::Test {
protected:
    ~ChecksummedRecordTest() override { delete CSingleton::GetInstance(CCrc32::kClassKey); }

    TempAppDirectory directory;
    AssertCounter asserts;
};

TEST_F(ChecksummedRecordTest, FreshHighScoreFileIsTheCrcOfZerosThenZeros) {
    CHighScoreTable table;
    EXPECT_EQ(table.Load(), 0);
    EXPECT_FALSE(table.HasCrcMismatch());
    EXPECT_EQ(directory.ReadFile("hs.dat"), Image(std::vector<uint8_t>(92, 0)));
    EXPECT_EQ(table.Load(), 1);
}

TEST_F(ChecksummedRecordTest, ScoresKeepTheirOrderAndEqualScoresGoAbove) {
    {
        CHighScoreTable table;
        table.Load();
        EXPECT_EQ(table.AddScore(u"ann", 0, 10), 1);
        EXPECT_EQ(table.AddScore(u"bob", 0, 30), 1);
        EXPECT_EQ(table.AddScore(u"cy", 0, 20), 1);
        EXPECT_EQ(table.AddScore(u"dee", 0, 20), 1);
        const int32_t scores[] = {30, 20, 20, 10, 0};
        const char16_t* names[] = {u"bob", u"dee", u"cy", u"ann", u""};
        for (int32_t i = 0; i < 5; ++i) {
            EXPECT_EQ(table.GetScore(0, i), scores[i]);
            EXPECT_EQ(Name(table.GetName(0, i)), names[i]);
        }
        EXPECT_EQ(table.GetName(1, 0), nullptr);
        EXPECT_EQ(table.GetName(0, 5), nullptr);
        EXPECT_EQ(table.GetScore(0, -1), 0);
        EXPECT_EQ(table.AddScore(u"x", 1, 99), 0);
    }
    // A new table object reads what the first wrote.
    CHighScoreTable reread;
    EXPECT_EQ(reread.Load(), 1);
    EXPECT_EQ(reread.GetScore(0, 1), 20);
    EXPECT_EQ(Name(reread.GetName(0, 1)), u"dee");
    EXPECT_EQ(Name(reread.GetPlayerName()), u"x");
}

TEST_F(ChecksummedRecordTest, LowScoreChangesNothingAndNamesAreCutToFiveUnits) {
    CHighScoreTable table;
    table.Load();
    for (int32_t score : {50, 40, 30, 20, 10}) table.AddScore(u"abcdefgh", 0, score);
    EXPECT_EQ(Name(table.GetName(0, 0)), u"abcde");
    EXPECT_EQ(Name(table.GetPlayerName()), u"abcde");
    EXPECT_FALSE(table.IsHighScore(0, 9));
    EXPECT_TRUE(table.IsHighScore(0, 10));
    EXPECT_EQ(table.AddScore(u"low", 0, 9), 1);
    EXPECT_EQ(table.GetScore(0, 4), 10);
    table.AddScore(nullptr, 0, 60);
    EXPECT_EQ(Name(table.GetName(0, 0)), u"xxx");
    EXPECT_EQ(Name(table.GetPlayerName()), u"");
    table.AddScore(u"", 0, 70);
    EXPECT_EQ(Name(table.GetName(0, 0)), u"xxx");
}

TEST_F(ChecksummedRecordTest, AnEntrysOwnNameCanScoreAgain) {
    CHighScoreTable table;
    table.Load();
    for (const char16_t* name : {u"ann", u"bob", u"cy"}) table.AddScore(name, 0, 10);
    // The entries below the new place move before the name is taken.
    table.AddScore(table.GetName(0, 2), 0, 20);
    EXPECT_EQ(Name(table.GetName(0, 0)), u"ann");
    EXPECT_EQ(Name(table.GetPlayerName()), u"ann");
}

TEST_F(ChecksummedRecordTest, UnsoundFilesAreRefusedAndReplacedByDefaults) {
    std::vector<uint8_t> data(12, 0);
    data[0] = 0xAA;
    data[4] = 0;
    data[5] = 7;
    data[6] = 9;
    const std::vector<uint8_t> good = Image(data);
    std::vector<uint8_t> flipped = good;
    flipped[10] ^= 0x01;
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    const std::vector<uint8_t> shorter(good.begin(), good.end() - 1);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {{"flipped", flipped}, {"longer", longer}, {"shorter", shorter}, {"empty", {}}};
    for (const Case& c : cases) {
        directory.WriteFile("prefs.dat", c.bytes);
        CPrefsRecord prefs;
        EXPECT_EQ(prefs.Load(), 0) << c.what;
        EXPECT_TRUE(prefs.HasCrcMismatch()) << c.what;
        // The corrupt file's reserved bytes are not taken either.
        EXPECT_EQ(prefs.GetByte(0), 0) << c.what;
        EXPECT_EQ(prefs.GetByte(CPrefsRecord::kSecondFlag), 1) << c.what;
        EXPECT_EQ(prefs.GetByte(CPrefsRecord::kLevelSetting), 3) << c.what;
        EXPECT_EQ(directory.ReadFile("prefs.dat").size(), 16u) << c.what;
        EXPECT_EQ(prefs.Load(), 1) << c.what;
    }
    directory.WriteFile("prefs.dat", good);
    CPrefsRecord prefs;
    EXPECT_EQ(prefs.Load(), 1);
    EXPECT_EQ(prefs.GetByte(0), 0xAA);
    EXPECT_EQ(prefs.GetByte(CPrefsRecord::kLevelSetting), 9);
    // The sound switch follows the core, whatever the file said.
    EXPECT_EQ(prefs.GetByte(CPrefsRecord::kSoundEnabled), 1);
    EXPECT_TRUE(asserts.Logged("refused"));
}

TEST_F(ChecksummedRecordTest, SavedGameRoundTripsAndMissingFileIsNoMismatch) {
    CSaveGameRecord record;
    EXPECT_EQ(record.Load(), 0);
    EXPECT_FALSE(record.HasCrcMismatch());
    record.SetValue(0x01020304);
    ASSERT_TRUE(record.Save());
    EXPECT_EQ(directory.ReadFile("savegame.dat"), Image({4, 3, 2, 1}));
    record.SetValue(0);
    EXPECT_EQ(record.Load(), 1);
    EXPECT_EQ(record.GetValue(), 0x01020304u);
}

TEST_F(ChecksummedRecordTest, DeserializeRefusesAnyImageThatIsNotExactlyRight) {
    CSaveGameRecord record;
    record.SetValue(77);
    uint8_t image[8] = {};
    record.Serialize(image);
    EXPECT_TRUE(record.Deserialize(image, 8));
    EXPECT_FALSE(record.Deserialize(image, 7));
    for (int byte = 0; byte < 8; ++byte) {
        image[byte] ^= 0x80;
        EXPECT_FALSE(record.Deserialize(image, 8)) << byte;
        image[byte] ^= 0x80;
    }
    EXPECT_EQ(record.GetValue(), 77u);
}

}  // namespace
