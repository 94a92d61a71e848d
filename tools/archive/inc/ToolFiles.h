#ifndef TOOLFILES_H
#define TOOLFILES_H

#include <cstdint>
#include <string>
#include <vector>

// Whole-file reads and writes for the data tools, with a message on failure.
class ToolFiles {
public:
    static bool Read(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
    static bool Write(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
};

#endif
