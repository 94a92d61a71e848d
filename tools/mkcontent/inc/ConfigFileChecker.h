#ifndef CONFIGFILECHECKER_H
#define CONFIGFILECHECKER_H

#include "SourceText.h"

#include <string>

// Checks the three text files the game reads beside its archive, by their
// file names, so that no setting is silently lost:
//   properties.dat  `key=value` or `key: value`, '#' or '!' comments, known keys
//   device.conf     no comments or blank lines (the reader has none): optional
//                   PID=N lines, a count line, that many NAME=0xHH remap lines,
//                   then known settings with values of their kind
//   softkey.conf    the four soft-key insets, decimal
class ConfigFileChecker {
public:
    // False for a file name that is none of the three.
    static bool IsConfigName(const std::string& fileName);
    static bool Check(const std::string& fileName, const SourceText& source, std::string& error);

private:
    static bool CheckProperties(const SourceText& source, std::string& error);
    static bool CheckDevice(const SourceText& source, std::string& error);
    static bool CheckSoftkeys(const SourceText& source, std::string& error);
    // Splits `KEY=VALUE`; false with a message when the line is not one.
    static bool Setting(const SourceText& source, size_t index, std::string& key, std::string& value,
                        std::string& error);
    static bool CheckDeviceValue(const std::string& key, const std::string& value, const SourcePlace& place,
                                 std::string& error);
};

#endif
