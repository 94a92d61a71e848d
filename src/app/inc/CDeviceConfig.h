#ifndef CDEVICECONFIG_H
#define CDEVICECONFIG_H

#include "CAppBase.h"

#include <string>
#include <vector>

class CConfigReader;

// The per-device settings of one build: read from device.conf (key
// remapping, orientation policy, switches and replacement texts) and
// softkey.conf (insets of the soft-key icons). Every value has a default,
// so neither file is needed.
//
// device.conf: optional sections "PID=<id>" of which only id 0 (this
// device) counts; then a count line (any key, a decimal value), that many
// remap lines NAME=0xHH whose NAME's last characters choose the engine key,
// and setting lines up to the end or the next "PID".
class CDeviceConfig {
public:
    // ORIENTATION_SUPPORT.
    static constexpr int32_t kBothOrientations = 0;
    static constexpr int32_t kPortraitOnly = 1;
    static constexpr int32_t kLandscapeOnly = 2;

    static constexpr int32_t kTickDelayDefault = 40;
    static constexpr int32_t kBackgroundLevelNotForced = -1;
    static constexpr int32_t kBackgroundLevelMax = 8;
    static constexpr int32_t kSoftkeyNotGiven = -1;
    // More remap lines than this are not taken: no handset has that many keys.
    static constexpr int32_t kMaxRemapEntries = 256;

    // Sizes of the text blocks in 16-bit units, the terminator included.
    static constexpr uint32_t kTextUnits = 1500;
    static constexpr uint32_t kVersionUnits = 100;
    static constexpr uint32_t kKeyTextUnits = 10;

    enum Text : int32_t {
        kControlText,
        kTouchscreenMessage,
        kHibernationMessage,
        kOrientationMessage,
        kVersion,
        kHelp0101,
        kHelp0102,
        kHelp0104,
        kHelp0105,
        kHelp0106,
        kHelp0303,
        kHelp0401,
        kHelp0502,
        kKeyText0,
        kTextCount = kKeyText0 + 10
    };

    enum Softkey : int32_t { kLeftPortrait, kRightPortrait, kLeftLandscape, kRightLandscape, kSoftkeyCount };

    CDeviceConfig() { ResetDevice(); ResetSoftkeys(); }

    // Every device.conf value back to its default.
    void ResetDevice();
    void ResetSoftkeys();

    // The defaults, then the file's values when it exists in the data
    // directory; `name` is the file's name there. False when it does not.
    bool LoadDevice(const char* name);
    bool LoadSoftkeys(const char* name);

    // The grammars over any reader (files, and the fuzz target's bytes).
    void ParseDevice(CConfigReader& reader);
    void ParseSoftkeys(CConfigReader& reader);

    // The engine key of a remap name, chosen by its last character (and the
    // one before it); 0 for none.
    static uint16_t EngineKeyOfName(const char* name);

    bool ExitsOnClamshell() const { return m_exitOnClamshell; }
    int32_t GetOrientationSupport() const { return m_orientationSupport; }
    bool IsForce270() const { return m_force270; }
    bool UsesGXDisplay() const { return m_useGXDisplay; }
    int32_t GetTickDelay() const { return m_tickDelay; }
    int32_t GetForcedBackgroundLevel() const { return m_forcedBackgroundLevel; }
    bool IsNumpadDisabled() const { return m_disableNumpad; }
    bool IsPromoteDisabled() const { return m_disablePromote; }
    bool IsMannerModeDetectDisabled() const { return m_disableMannerModeDetect; }
    bool IsVolumeRemoved() const { return m_removeVolume; }
    // The text, or null when the file did not give it.
    const WChar* GetText(Text text) const;
    const DeviceKeyMapping* GetRemapTable(int32_t* outCount) const;
    // The inset, or kSoftkeyNotGiven.
    int32_t GetSoftkeyX(Softkey key) const { return m_softkeyX[key]; }

private:
    struct TextSetting {
        bool given = false;
        std::u16string text;
    };

    // Reads the sections up to this device's count line; false when the
    // file holds no section of this device.
    bool FindOwnSection(CConfigReader& reader, char* key);
    void ReadRemapLines(CConfigReader& reader, int32_t count);
    void ReadSettings(CConfigReader& reader);
    // False for a key that is not a setting; its line is then not read.
    bool ApplySetting(CConfigReader& reader, const char* key);
    bool ApplyText(CConfigReader& reader, const char* key);
    bool ApplyFlag(CConfigReader& reader, const char* key);
    bool ApplyNumber(CConfigReader& reader, const char* key);
    static bool LoadFile(const char* name, CDeviceConfig* config, void (CDeviceConfig::*parse)(CConfigReader&));

    bool m_exitOnClamshell = true;
    int32_t m_orientationSupport = kBothOrientations;
    bool m_force270 = false;
    bool m_useGXDisplay = true;
    int32_t m_tickDelay = kTickDelayDefault;
    int32_t m_forcedBackgroundLevel = kBackgroundLevelNotForced;
    bool m_disableNumpad = false;
    bool m_disablePromote = false;
    bool m_disableMannerModeDetect = false;
    bool m_removeVolume = false;
    TextSetting m_texts[kTextCount];
    std::vector<DeviceKeyMapping> m_remap;
    int32_t m_softkeyX[kSoftkeyCount] = {};
};

#endif
