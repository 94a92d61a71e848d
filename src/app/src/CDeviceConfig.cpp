#include "CDeviceConfig.h"

#include "AppServices.h"
#include "CAssert.h"
#include "CConfigReader.h"
#include "CFileUtil.h"
#include "CGenUtil.h"
#include "CRuntime.h"
#include "CStrWChar.h"
#include "ICFileMgr.h"

#include <cstring>

namespace {

constexpr char kSectionKey[] = "PID";
constexpr int32_t kOwnDeviceId = 0;
// Remap values carry a two-character prefix ("0x") before their digits.
constexpr uint32_t kHexPrefixLength = 2;

// Engine keys that remap names choose.
constexpr uint16_t kKeyUp = 4;
constexpr uint16_t kKeyDown = 5;
constexpr uint16_t kKeyLeft = 6;
constexpr uint16_t kKeyRight = 7;
constexpr uint16_t kKeySelect = 11;
constexpr uint16_t kKeyBack = 12;
constexpr uint16_t kKeySoftLeft = 15;
constexpr uint16_t kKeySoftRight = 16;
constexpr uint16_t kKeyPound = '#';
constexpr uint16_t kKeyStar = '*';

struct TextKey {
    const char* name;
    CDeviceConfig::Text text;
    uint32_t capacity;
};

constexpr TextKey kTextKeys[] = {
    {"CONTROL_TEXT", CDeviceConfig::kControlText, CDeviceConfig::kTextUnits},
    {"TOUCHSCREEN_MESSAGE", CDeviceConfig::kTouchscreenMessage, CDeviceConfig::kTextUnits},
    {"HIBERNATION_MESSAGE", CDeviceConfig::kHibernationMessage, CDeviceConfig::kTextUnits},
    {"ORIENTATION_MESSAGE", CDeviceConfig::kOrientationMessage, CDeviceConfig::kTextUnits},
    {"VERSION", CDeviceConfig::kVersion, CDeviceConfig::kVersionUnits},
    {"HELP_01_01", CDeviceConfig::kHelp0101, CDeviceConfig::kTextUnits},
    {"HELP_01_02", CDeviceConfig::kHelp0102, CDeviceConfig::kTextUnits},
    {"HELP_01_04", CDeviceConfig::kHelp0104, CDeviceConfig::kTextUnits},
    {"HELP_01_05", CDeviceConfig::kHelp0105, CDeviceConfig::kTextUnits},
    {"HELP_01_06", CDeviceConfig::kHelp0106, CDeviceConfig::kTextUnits},
    {"HELP_03_03", CDeviceConfig::kHelp0303, CDeviceConfig::kTextUnits},
    {"HELP_04_01", CDeviceConfig::kHelp0401, CDeviceConfig::kTextUnits},
    {"HELP_05_02", CDeviceConfig::kHelp0502, CDeviceConfig::kTextUnits},
    {"STR_KEY_0", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 0), CDeviceConfig::kKeyTextUnits},
    {"STR_KEY_1", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 1), CDeviceConfig::kKeyTextUnits},
    {"STR_KEY_2", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 2), CDeviceConfig::kKeyTextUnits},
    {"STR_KEY_3", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 3), CDeviceConfig::kKeyTextUnits},
    {"STR_KEY_4", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 4), CDeviceConfig::kKeyTextUnits},
    {"STR_KEY_5", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 5), CDeviceConfig::kKeyTextUnits},
    {"STR_KEY_6", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 6), CDeviceConfig::kKeyTextUnits},
    {"STR_KEY_7", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 7), CDeviceConfig::kKeyTextUnits},
    {"STR_KEY_8", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 8), CDeviceConfig::kKeyTextUnits},
    {"STR_KEY_9", static_cast<CDeviceConfig::Text>(CDeviceConfig::kKeyText0 + 9), CDeviceConfig::kKeyTextUnits},
};

constexpr const char* kSoftkeyKeys[CDeviceConfig::kSoftkeyCount] = {"LSK_PORTRAIT_X", "RSK_PORTRAIT_X",
                                                                     "LSK_LANDSCAPE_X", "RSK_LANDSCAPE_X"};

bool IsKey(const char* key, const char* name) { return std::strcmp(key, name) == 0; }

// A flag is its value's first character: "0" is false, anything else true.
bool FlagOf(const char* value) { return value[0] != '0'; }

uint16_t KeyOfDigit(char last, char before) {
    if (before == 'T' && last == '1') return kKeySoftLeft;
    if (before == 'T' && last == '2') return kKeySoftRight;
    return static_cast<uint16_t>(last);
}

}  // namespace

void CDeviceConfig::ResetDevice() {
    m_exitOnClamshell = true;
    m_orientationSupport = kBothOrientations;
    m_force270 = false;
    m_useGXDisplay = true;
    m_tickDelay = kTickDelayDefault;
    m_forcedBackgroundLevel = kBackgroundLevelNotForced;
    m_disableNumpad = false;
    m_disablePromote = false;
    m_disableMannerModeDetect = false;
    m_removeVolume = false;
    for (TextSetting& text : m_texts) text = TextSetting();
    m_remap.clear();
}

void CDeviceConfig::ResetSoftkeys() {
    for (int32_t& x : m_softkeyX) x = kSoftkeyNotGiven;
}

bool CDeviceConfig::LoadDevice(const char* name) {
    ResetDevice();
    return LoadFile(name, this, &CDeviceConfig::ParseDevice);
}

bool CDeviceConfig::LoadSoftkeys(const char* name) {
    ResetSoftkeys();
    return LoadFile(name, this, &CDeviceConfig::ParseSoftkeys);
}

bool CDeviceConfig::LoadFile(const char* name, CDeviceConfig* config, void (CDeviceConfig::*parse)(CConfigReader&)) {
    ICFileMgr* files = GetFileMgr();
    if (files == nullptr) return false;
    CStrWChar path;
    CFileUtil::MakeDataPath(path, CStrWChar(name).GetBuffer());
    if (!files->Exists(path.GetBuffer())) return false;
    ICFile* file = files->Open(path.GetBuffer(), ICFileMgr::kRead);
    if (file == nullptr) {
        DebugPrintf("%s exists but does not open; its defaults stay", name);
        return false;
    }
    CConfigReader reader(file);
    (config->*parse)(reader);
    // Closing a file only read loses nothing that was read.
    static_cast<void>(files->Close(file));
    return true;
}

void CDeviceConfig::ParseDevice(CConfigReader& reader) {
    char key[CConfigReader::kFieldBytes];
    if (!FindOwnSection(reader, key)) return;
    char value[CConfigReader::kFieldBytes];
    reader.ReadValue(value);
    ReadRemapLines(reader, StrToInt(value));
    ReadSettings(reader);
}

bool CDeviceConfig::FindOwnSection(CConfigReader& reader, char* key) {
    bool ownSectionStarts = false;
    bool inOtherSection = false;
    for (;;) {
        const CConfigReader::KeyResult result = reader.ReadKey(key);
        if (result == CConfigReader::KeyResult::End) return false;
        if (result == CConfigReader::KeyResult::NoEquals) continue;
        if (ownSectionStarts) return true;
        if (IsKey(key, kSectionKey)) {
            char value[CConfigReader::kFieldBytes];
            reader.ReadValue(value);
            ownSectionStarts = StrToInt(value) == kOwnDeviceId;
            inOtherSection = !ownSectionStarts;
        } else if (inOtherSection) {
            reader.SkipLine();
        } else {
            return true;
        }
    }
}

// The table holds the lines actually read, never more than the count says.
void CDeviceConfig::ReadRemapLines(CConfigReader& reader, int32_t count) {
    if (count > kMaxRemapEntries) {
        DebugPrintf("device.conf asks for %d remap lines; the first %d are read", count, kMaxRemapEntries);
        count = kMaxRemapEntries;
    }
    char name[CConfigReader::kFieldBytes];
    char value[CConfigReader::kFieldBytes];
    while (static_cast<int32_t>(m_remap.size()) < count) {
        const CConfigReader::KeyResult result = reader.ReadKey(name);
        if (result == CConfigReader::KeyResult::End) break;
        if (result == CConfigReader::KeyResult::NoEquals) continue;
        reader.ReadValue(value);
        const size_t length = std::strlen(value);
        const uint32_t deviceKey = CGenUtil::ParseHex(length >= kHexPrefixLength ? value + kHexPrefixLength : "");
        m_remap.push_back(DeviceKeyMapping{static_cast<uint16_t>(deviceKey), EngineKeyOfName(name)});
    }
}

void CDeviceConfig::ReadSettings(CConfigReader& reader) {
    char key[CConfigReader::kFieldBytes];
    for (;;) {
        const CConfigReader::KeyResult result = reader.ReadKey(key);
        if (result == CConfigReader::KeyResult::End || IsKey(key, kSectionKey)) return;
        if (result == CConfigReader::KeyResult::NoEquals) continue;
        // An unknown key costs only its own line.
        if (!ApplySetting(reader, key)) reader.SkipLine();
    }
}

bool CDeviceConfig::ApplySetting(CConfigReader& reader, const char* key) {
    return ApplyText(reader, key) || ApplyFlag(reader, key) || ApplyNumber(reader, key);
}

bool CDeviceConfig::ApplyText(CConfigReader& reader, const char* key) {
    for (const TextKey& textKey : kTextKeys) {
        if (!IsKey(key, textKey.name)) continue;
        TextSetting& setting = m_texts[textKey.text];
        reader.ReadText(&setting.text, textKey.capacity);
        setting.given = true;
        return true;
    }
    return false;
}

bool CDeviceConfig::ApplyFlag(CConfigReader& reader, const char* key) {
    struct FlagKey {
        const char* name;
        bool CDeviceConfig::*flag;
    };
    static constexpr FlagKey kFlagKeys[] = {
        {"EXIT_ON_CLAMSHELL", &CDeviceConfig::m_exitOnClamshell},
        {"FORCE_270", &CDeviceConfig::m_force270},
        {"USE_GXDISPLAY", &CDeviceConfig::m_useGXDisplay},
        {"DISABLE_NUMPAD", &CDeviceConfig::m_disableNumpad},
        {"DISABLE_PROMOTE", &CDeviceConfig::m_disablePromote},
        {"DISABLE_MANNERMODEDETECT", &CDeviceConfig::m_disableMannerModeDetect},
        {"REMOVE_VOLUME", &CDeviceConfig::m_removeVolume},
    };
    for (const FlagKey& flagKey : kFlagKeys) {
        if (!IsKey(key, flagKey.name)) continue;
        char value[CConfigReader::kFieldBytes];
        reader.ReadValue(value);
        this->*flagKey.flag = FlagOf(value);
        return true;
    }
    return false;
}

bool CDeviceConfig::ApplyNumber(CConfigReader& reader, const char* key) {
    const bool orientation = IsKey(key, "ORIENTATION_SUPPORT");
    const bool tickDelay = IsKey(key, "TICK_DELAY");
    const bool backgroundLevel = IsKey(key, "FORCE_BG_COLOR_LEVEL");
    if (!orientation && !tickDelay && !backgroundLevel) return false;
    char value[CConfigReader::kFieldBytes];
    reader.ReadValue(value);
    if (orientation) {
        if (IsKey(value, "PORTRAIT_ONLY")) m_orientationSupport = kPortraitOnly;
        if (IsKey(value, "LANDSCAPE_ONLY")) m_orientationSupport = kLandscapeOnly;
    } else if (tickDelay) {
        m_tickDelay = StrToInt(value);
    } else {
        const int32_t level = StrToInt(value);
        m_forcedBackgroundLevel = level < 0 || level > kBackgroundLevelMax ? 0 : level;
    }
    return true;
}

void CDeviceConfig::ParseSoftkeys(CConfigReader& reader) {
    char key[CConfigReader::kFieldBytes];
    char value[CConfigReader::kFieldBytes];
    for (;;) {
        const CConfigReader::KeyResult result = reader.ReadKey(key);
        if (result == CConfigReader::KeyResult::End) return;
        if (result == CConfigReader::KeyResult::NoEquals) continue;
        int32_t index = 0;
        while (index < kSoftkeyCount && !IsKey(key, kSoftkeyKeys[index])) ++index;
        if (index == kSoftkeyCount) {
            reader.SkipLine();
            continue;
        }
        reader.ReadValue(value);
        m_softkeyX[index] = StrToInt(value);
    }
}

uint16_t CDeviceConfig::EngineKeyOfName(const char* name) {
    const size_t length = std::strlen(name);
    if (length == 0) return 0;
    const char last = name[length - 1];
    const char before = length >= 2 ? name[length - 2] : '\0';
    if (last >= '0' && last <= '9') return KeyOfDigit(last, before);
    switch (last) {
        case 'H':
            return kKeyPound;
        case 'K':
            return kKeyBack;
        case 'N':
            return before == 'W' ? kKeyDown : kKeySelect;
        case 'P':
            return kKeyUp;
        case 'R':
            return kKeyStar;
        case 'T':
            return before == 'F' ? kKeyLeft : kKeyRight;
        default:
            return 0;
    }
}

const WChar* CDeviceConfig::GetText(Text text) const {
    if (text < 0 || text >= kTextCount || !m_texts[text].given) return nullptr;
    return m_texts[text].text.c_str();
}

const DeviceKeyMapping* CDeviceConfig::GetRemapTable(int32_t* outCount) const {
    if (outCount != nullptr) *outCount = static_cast<int32_t>(m_remap.size());
    return m_remap.empty() ? nullptr : m_remap.data();
}
