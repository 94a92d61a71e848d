// device.conf and softkey.conf: sections, count line, remap lines, settings,
// texts, line ends and hostile input.

#include <gtest/gtest.h>

#include <string>

#include "CConfigReader.h"
#include "CDeviceConfig.h"

namespace {

CDeviceConfig Device(const std::string& text) {
    CDeviceConfig config;
    CConfigReader reader(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()));
    config.ParseDevice(reader);
    return config;
}

CDeviceConfig Softkeys(const std::string& text) {
    CDeviceConfig config;
    CConfigReader reader(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()));
    config.ParseSoftkeys(reader);
    return config;
}

std::u16string Text(const CDeviceConfig& config, CDeviceConfig::Text text) {
    const WChar* value = config.GetText(text);
    return value != nullptr ? std::u16string(value) : u"<none>";
}

std::vector<std::pair<uint16_t, uint16_t>> Remaps(const CDeviceConfig& config) {
    int32_t count = -1;
    const DeviceKeyMapping* table = config.GetRemapTable(&count);
    std::vector<std::pair<uint16_t, uint16_t>> out;
    for (int32_t i = 0; i < count; ++i) out.emplace_back(table[i].deviceKey, table[i].engineKey);
    return out;
}

using Remap = std::pair<uint16_t, uint16_t>;

}  // namespace

TEST(CDeviceConfigTest, AnEmptyFileKeepsEveryDefault) {
    const CDeviceConfig config = Device("");
    EXPECT_TRUE(config.ExitsOnClamshell());
    EXPECT_TRUE(config.UsesGXDisplay());
    EXPECT_EQ(config.GetTickDelay(), 40);
    EXPECT_EQ(config.GetForcedBackgroundLevel(), -1);
    EXPECT_EQ(config.GetOrientationSupport(), CDeviceConfig::kBothOrientations);
    EXPECT_FALSE(config.IsNumpadDisabled() || config.IsMannerModeDetectDisabled() || config.IsForce270());
    for (int32_t text = 0; text < CDeviceConfig::kTextCount; ++text) {
        EXPECT_EQ(config.GetText(static_cast<CDeviceConfig::Text>(text)), nullptr) << text;
    }
    EXPECT_TRUE(Remaps(config).empty());
    for (int32_t key = 0; key < CDeviceConfig::kSoftkeyCount; ++key) {
        EXPECT_EQ(Softkeys("").GetSoftkeyX(static_cast<CDeviceConfig::Softkey>(key)), -1);
    }
}

TEST(CDeviceConfigTest, RemapNamesChooseTheEngineKeyByTheirLastCharacters) {
    const struct {
        const char* name;
        uint16_t key;
    } cases[] = {{"SOFT1", 15}, {"SOFT2", 16}, {"KEY1", '1'}, {"KEY0", '0'}, {"LEFT", 6},  {"RIGHT", 7},
                 {"UP", 4},     {"DOWN", 5},   {"SELECTION", 11}, {"HASH", '#'}, {"STAR", '*'}, {"BACK", 12},
                 {"FIRE", 0},   {"", 0}};
    for (const auto& c : cases) EXPECT_EQ(CDeviceConfig::EngineKeyOfName(c.name), c.key) << c.name;
}

TEST(CDeviceConfigTest, OwnSectionAfterAnotherDevicesGivesItsRemapsAndSettings) {
    const CDeviceConfig config = Device(
        "PID=3\nKEYS=2\nLEFT=0x11\nRIGHT=0x12\nORIENTATION_SUPPORT=PORTRAIT_ONLY\n"
        "PID=0\nKEYS=1\nLEFT=0x25\nORIENTATION_SUPPORT=LANDSCAPE_ONLY\n");
    EXPECT_EQ(Remaps(config), (std::vector<Remap>{{0x25, 6}}));
    EXPECT_EQ(config.GetOrientationSupport(), CDeviceConfig::kLandscapeOnly);
}

TEST(CDeviceConfigTest, WithoutASectionTheFirstLineIsTheCountLine) {
    const CDeviceConfig config = Device("ORIENTATION_SUPPORT=PORTRAIT_ONLY\nTICK_DELAY=25\n");
    EXPECT_TRUE(Remaps(config).empty());
    EXPECT_EQ(config.GetOrientationSupport(), CDeviceConfig::kBothOrientations);
    EXPECT_EQ(config.GetTickDelay(), 25);
}

TEST(CDeviceConfigTest, OnlyOtherDevicesSectionsGiveNothing) {
    const CDeviceConfig config = Device("PID=7\nKEYS=1\nSOFT1=0x70\nDISABLE_NUMPAD=1\n");
    EXPECT_TRUE(Remaps(config).empty());
    EXPECT_FALSE(config.IsNumpadDisabled());
}

TEST(CDeviceConfigTest, RemapValuesAreHexAfterATwoCharacterPrefix) {
    const CDeviceConfig config = Device("KEYS=4\nSOFT1=0x70\nKEY1=0X31\nUP=0xa0\nDOWN=7\nUSE_GXDISPLAY=0\n");
    EXPECT_EQ(Remaps(config), (std::vector<Remap>{{0x70, 15}, {0x31, '1'}, {0xA0, 4}, {0, 5}}));
    EXPECT_FALSE(config.UsesGXDisplay());
}

// The table holds the lines that were there, never the count's promise.
TEST(CDeviceConfigTest, ACountBeyondTheLinesOrTheLimitHoldsOnlyWhatWasRead) {
    EXPECT_EQ(Remaps(Device("KEYS=5\nLEFT=0x25\nRIGHT=0x27")), (std::vector<Remap>{{0x25, 6}, {0x27, 7}}));
    std::string many = "KEYS=99999\n";
    for (int i = 0; i < 300; ++i) many += "KEY1=0x31\n";
    EXPECT_EQ(Remaps(Device(many)).size(), static_cast<size_t>(CDeviceConfig::kMaxRemapEntries));
    EXPECT_TRUE(Remaps(Device("KEYS=-4\nLEFT=0x25\n")).empty());
    EXPECT_TRUE(Remaps(Device("KEYS=")).empty());
}

TEST(CDeviceConfigTest, FlagsAndNumbersTakeEffectWithEitherLineEnd) {
    const CDeviceConfig config = Device(
        "KEYS=0\r\nEXIT_ON_CLAMSHELL=0\r\nDISABLE_NUMPAD=1\r\nFORCE_270=yes\nDISABLE_MANNERMODEDETECT=1\n"
        "DISABLE_PROMOTE=1\nREMOVE_VOLUME=1\nTICK_DELAY=-12\r\nFORCE_BG_COLOR_LEVEL=8\n");
    EXPECT_FALSE(config.ExitsOnClamshell());
    EXPECT_TRUE(config.IsNumpadDisabled());
    EXPECT_TRUE(config.IsForce270());
    EXPECT_TRUE(config.IsMannerModeDetectDisabled());
    EXPECT_TRUE(config.IsPromoteDisabled());
    EXPECT_TRUE(config.IsVolumeRemoved());
    EXPECT_EQ(config.GetTickDelay(), -12);
    EXPECT_EQ(config.GetForcedBackgroundLevel(), 8);
}

TEST(CDeviceConfigTest, ABackgroundLevelOutsideZeroToEightBecomesZero) {
    for (const char* value : {"9", "-1", "1000000000000"}) {
        EXPECT_EQ(Device(std::string("KEYS=0\nFORCE_BG_COLOR_LEVEL=") + value + "\n").GetForcedBackgroundLevel(), 0)
            << value;
    }
}

// An unknown key costs its own line only; the setting after it is read.
TEST(CDeviceConfigTest, AnUnknownKeyDoesNotSwallowTheNextLine) {
    const CDeviceConfig config = Device("KEYS=0\nNO_SUCH_KEY=whatever\nDISABLE_NUMPAD=1\nstray line\nTICK_DELAY=7\n");
    EXPECT_TRUE(config.IsNumpadDisabled());
    EXPECT_EQ(config.GetTickDelay(), 7);
}

TEST(CDeviceConfigTest, TextsWidenEachByteAndTurnBarsIntoLineFeeds) {
    const CDeviceConfig config = Device(
        "KEYS=0\nHIBERNATION_MESSAGE=Sleeping|press select\r\nVERSION=2.0\nCONTROL_TEXT=caf\xE9\nSTR_KEY_3=abc\n"
        "HELP_05_02=help\n");
    EXPECT_EQ(Text(config, CDeviceConfig::kHibernationMessage), u"Sleeping\npress select");
    EXPECT_EQ(Text(config, CDeviceConfig::kVersion), u"2.0");
    EXPECT_EQ(Text(config, CDeviceConfig::kControlText), u"caf\u00E9");
    EXPECT_EQ(Text(config, static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 3)), u"abc");
    EXPECT_EQ(Text(config, CDeviceConfig::kHelp0502), u"help");
    EXPECT_EQ(Text(config, CDeviceConfig::kOrientationMessage), u"<none>");
}

TEST(CDeviceConfigTest, LongKeysValuesAndTextsAreCutToTheirBlocks) {
    const std::string longText(3000, 'x');
    const CDeviceConfig config = Device("KEYS=0\nVERSION=" + longText + "\nSTR_KEY_0=" + longText +
                                        "\nORIENTATION_MESSAGE=" + longText + "\n" + std::string(100, 'K') +
                                        "=1\nTICK_DELAY=" + std::string(60, '9') + "\nDISABLE_NUMPAD=1\n");
    EXPECT_EQ(Text(config, CDeviceConfig::kVersion).size(), CDeviceConfig::kVersionUnits - 1);
    EXPECT_EQ(Text(config, CDeviceConfig::kKeyText0).size(), CDeviceConfig::kKeyTextUnits - 1);
    EXPECT_EQ(Text(config, CDeviceConfig::kOrientationMessage).size(), CDeviceConfig::kTextUnits - 1);
    EXPECT_EQ(config.GetTickDelay(), INT32_MAX);
    EXPECT_TRUE(config.IsNumpadDisabled());
}

TEST(CDeviceConfigTest, TheFileMayEndAnywhere) {
    const std::string full = "PID=0\nKEYS=2\nSOFT1=0x70\nLEFT=0x25\nVERSION=3.1\nDISABLE_NUMPAD=1\n";
    for (size_t length = 0; length <= full.size(); ++length) {
        const CDeviceConfig config = Device(full.substr(0, length));
        EXPECT_LE(Remaps(config).size(), 2u) << length;
    }
    EXPECT_EQ(Text(Device(full.substr(0, full.find("DISABLE"))), CDeviceConfig::kVersion), u"3.1");
}

TEST(CDeviceConfigTest, AnotherPidLineEndsTheSettings) {
    const CDeviceConfig config = Device("PID=0\nKEYS=0\nTICK_DELAY=5\nPID=4\nTICK_DELAY=9\n");
    EXPECT_EQ(config.GetTickDelay(), 5);
}

TEST(CDeviceConfigTest, SoftkeyInsetsAreDecimalAndUnknownKeysAreSkipped) {
    const CDeviceConfig config = Softkeys("LSK_PORTRAIT_X=12\r\nSOMETHING=else\nRSK_LANDSCAPE_X=-3\nRSK_PORTRAIT_X=x\n");
    EXPECT_EQ(config.GetSoftkeyX(CDeviceConfig::kLeftPortrait), 12);
    EXPECT_EQ(config.GetSoftkeyX(CDeviceConfig::kRightPortrait), 0);
    EXPECT_EQ(config.GetSoftkeyX(CDeviceConfig::kLeftLandscape), -1);
    EXPECT_EQ(config.GetSoftkeyX(CDeviceConfig::kRightLandscape), -3);
}
