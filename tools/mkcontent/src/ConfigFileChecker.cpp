#include "ConfigFileChecker.h"

#include "SourceWords.h"

#include <map>
#include <set>

namespace {

// A level's background colour is forced only by 0 to 8; the reader turns
// any other value into 0, so a written -1 would force level 0's colour.
enum class Kind { Flag, Integer, Level, Text, Orientation };

struct DeviceKey {
    Kind kind;
    size_t maxLength;  // texts: units the reader keeps
};

constexpr size_t kLongText = 1499;

const std::map<std::string, DeviceKey>& DeviceKeys() {
    static const std::map<std::string, DeviceKey> keys = {
        {"EXIT_ON_CLAMSHELL", {Kind::Flag, 1}},       {"ORIENTATION_SUPPORT", {Kind::Orientation, 0}},
        {"ORIENTATION_MESSAGE", {Kind::Text, kLongText}}, {"VERSION", {Kind::Text, 99}},
        {"FORCE_270", {Kind::Flag, 1}},               {"USE_GXDISPLAY", {Kind::Flag, 1}},
        {"TICK_DELAY", {Kind::Integer, 0}},           {"FORCE_BG_COLOR_LEVEL", {Kind::Level, 0}},
        {"DISABLE_NUMPAD", {Kind::Flag, 1}},          {"DISABLE_PROMOTE", {Kind::Flag, 1}},
        {"REMOVE_VOLUME", {Kind::Flag, 1}},           {"DISABLE_MANNERMODEDETECT", {Kind::Flag, 1}},
        {"TOUCHSCREEN_MESSAGE", {Kind::Text, kLongText}}, {"HIBERNATION_MESSAGE", {Kind::Text, kLongText}},
        {"CONTROL_TEXT", {Kind::Text, kLongText}},    {"HELP_01_01", {Kind::Text, kLongText}},
        {"HELP_01_02", {Kind::Text, kLongText}},      {"HELP_01_04", {Kind::Text, kLongText}},
        {"HELP_01_05", {Kind::Text, kLongText}},      {"HELP_01_06", {Kind::Text, kLongText}},
        {"HELP_03_03", {Kind::Text, kLongText}},      {"HELP_04_01", {Kind::Text, kLongText}},
        {"HELP_05_02", {Kind::Text, kLongText}},      {"STR_KEY_0", {Kind::Text, 9}},
        {"STR_KEY_1", {Kind::Text, 9}},               {"STR_KEY_2", {Kind::Text, 9}},
        {"STR_KEY_3", {Kind::Text, 9}},               {"STR_KEY_4", {Kind::Text, 9}},
        {"STR_KEY_5", {Kind::Text, 9}},               {"STR_KEY_6", {Kind::Text, 9}},
        {"STR_KEY_7", {Kind::Text, 9}},               {"STR_KEY_8", {Kind::Text, 9}},
        {"STR_KEY_9", {Kind::Text, 9}}};
    return keys;
}

const std::set<std::string>& PropertyKeys() {
    static const std::set<std::string> keys = {"Kiv-Cheats-Enable", "Kiv-Test-Localisation", "Kiv-Softkey-Reverse",
                                               "MIDlet-Version",    "Kiv-Locale",            "Kiv-Game"};
    return keys;
}

const std::set<std::string>& SoftkeyKeys() {
    static const std::set<std::string> keys = {"LSK_PORTRAIT_X", "RSK_PORTRAIT_X", "LSK_LANDSCAPE_X",
                                               "RSK_LANDSCAPE_X"};
    return keys;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsDecimal(const std::string& value) {
    int32_t number = 0;
    return value.compare(0, 2, "0x") != 0 && SourceWords::ParseInt(value, number);
}

bool IsHexByte(const std::string& value) {
    int32_t number = 0;
    return value.size() > 2 && value.compare(0, 2, "0x") == 0 && SourceWords::ParseInt(value, number) && number >= 0 &&
           number <= 0xFF;
}

}  // namespace

bool ConfigFileChecker::IsConfigName(const std::string& fileName) {
    const std::string name = BaseName(fileName);
    return name == "properties.dat" || name == "device.conf" || name == "softkey.conf";
}

bool ConfigFileChecker::Check(const std::string& fileName, const SourceText& source, std::string& error) {
    const std::string name = BaseName(fileName);
    if (name == "properties.dat") return CheckProperties(source, error);
    if (name == "device.conf") return CheckDevice(source, error);
    if (name == "softkey.conf") return CheckSoftkeys(source, error);
    return SourceText::Fail({source.Name(), 0}, "not a configuration file the game reads", error);
}

bool ConfigFileChecker::CheckProperties(const SourceText& source, std::string& error) {
    std::set<std::string> seen;
    for (size_t i = 0; i < source.LineCount(); ++i) {
        const std::string& line = source.Raw(i);
        if (Trim(line).empty() || line[0] == '#' || line[0] == '!') continue;
        size_t split = line.find('=');
        if (split == std::string::npos) split = line.find(':');
        const std::string key = split == std::string::npos ? std::string() : Trim(line.substr(0, split));
        const std::string value = split == std::string::npos ? std::string() : Trim(line.substr(split + 1));
        if (key.empty() || value.empty()) {
            return SourceText::Fail(source.PlaceOf(i), "expected `key=value` (the game skips this line)", error);
        }
        if (!PropertyKeys().count(key)) return SourceText::Fail(source.PlaceOf(i), "unknown property " + key, error);
        if (!seen.insert(key).second) {
            return SourceText::Fail(source.PlaceOf(i), key + " is defined twice (the first one counts)", error);
        }
    }
    return true;
}

bool ConfigFileChecker::Setting(const SourceText& source, size_t index, std::string& key, std::string& value,
                                std::string& error) {
    const std::string& line = source.Raw(index);
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) {
        return SourceText::Fail(source.PlaceOf(index), "expected KEY=VALUE (no comments or blank lines here)", error);
    }
    key = line.substr(0, equals);
    value = line.substr(equals + 1);
    return true;
}

bool ConfigFileChecker::CheckDevice(const SourceText& source, std::string& error) {
    std::string key;
    std::string value;
    size_t i = 0;
    while (i < source.LineCount() && source.Raw(i).compare(0, 4, "PID=") == 0) ++i;
    if (i == source.LineCount()) return true;
    if (!Setting(source, i, key, value, error)) return false;
    int32_t remaps = 0;
    if (!IsDecimal(value) || !SourceWords::ParseInt(value, remaps) || remaps < 0) {
        return SourceText::Fail(source.PlaceOf(i), "the first setting line is the count of key remaps, a number",
                                error);
    }
    for (++i; remaps > 0; --remaps, ++i) {
        if (i == source.LineCount()) return SourceText::Fail({source.Name(), 0}, "fewer remap lines than counted", error);
        if (!Setting(source, i, key, value, error)) return false;
        if (!IsHexByte(value)) return SourceText::Fail(source.PlaceOf(i), "a remap line is NAME=0xHH", error);
    }
    for (; i < source.LineCount(); ++i) {
        if (!Setting(source, i, key, value, error)) return false;
        if (key == "PID") break;  // another device's section: not ours
        if (!CheckDeviceValue(key, value, source.PlaceOf(i), error)) return false;
    }
    return true;
}

bool ConfigFileChecker::CheckDeviceValue(const std::string& key, const std::string& value, const SourcePlace& place,
                                         std::string& error) {
    const auto known = DeviceKeys().find(key);
    if (known == DeviceKeys().end()) {
        return SourceText::Fail(place, "unknown setting " + key + " (the reader would lose the next line)", error);
    }
    switch (known->second.kind) {
        case Kind::Flag:
            if (value != "0" && value != "1") return SourceText::Fail(place, key + " is 0 or 1", error);
            break;
        case Kind::Integer:
            if (!IsDecimal(value)) return SourceText::Fail(place, key + " is a decimal number", error);
            break;
        case Kind::Level: {
            int32_t level = -1;
            if (!IsDecimal(value) || !SourceWords::ParseInt(value, level) || level < 0 || level > 8) {
                return SourceText::Fail(place, key + " is a level from 0 to 8 (leave it out to force none)", error);
            }
            break;
        }
        case Kind::Orientation:
            if (value != "PORTRAIT_ONLY" && value != "LANDSCAPE_ONLY") {
                return SourceText::Fail(place, key + " is PORTRAIT_ONLY or LANDSCAPE_ONLY", error);
            }
            break;
        case Kind::Text:
            if (value.size() > known->second.maxLength) {
                return SourceText::Fail(place, key + " is longer than the " + std::to_string(known->second.maxLength) +
                                                   " characters the game keeps",
                                        error);
            }
            break;
    }
    return true;
}

bool ConfigFileChecker::CheckSoftkeys(const SourceText& source, std::string& error) {
    std::string key;
    std::string value;
    for (size_t i = 0; i < source.LineCount(); ++i) {
        if (!Setting(source, i, key, value, error)) return false;
        if (!SoftkeyKeys().count(key)) return SourceText::Fail(source.PlaceOf(i), "unknown soft-key setting " + key, error);
        if (!IsDecimal(value)) return SourceText::Fail(source.PlaceOf(i), key + " is a decimal number", error);
    }
    return true;
}
