#ifndef CCONFIGREADER_H
#define CCONFIGREADER_H

#include "EngineTypes.h"

#include <string>

class ICFile;

// Reads one of the handset's configuration files (device.conf,
// softkey.conf) byte by byte, from an open file of the file manager or
// from memory, and cuts it into the pieces of its grammar: a line is a key,
// "=" and a value, ended by LF or CR LF.
class CConfigReader {
public:
    // Keys and plain values are kept in fields of this many bytes, the
    // terminator included; longer ones are cut.
    static constexpr uint32_t kFieldBytes = 32;

    enum class KeyResult {
        // A key up to its "=".
        Key,
        // The line ended before any "="; the whole line has been read.
        NoEquals,
        // The file ended before any "=".
        End
    };

    // Reads the file through its Read; the file stays the caller's.
    explicit CConfigReader(ICFile* file);
    CConfigReader(const uint8_t* data, uint32_t size);

    CConfigReader(const CConfigReader&) = delete;
    CConfigReader& operator=(const CConfigReader&) = delete;

    // The next key, terminated, into `key`.
    KeyResult ReadKey(char* key);
    // The rest of the line up to CR or LF, terminated, into `value`; the
    // line end goes with it.
    void ReadValue(char* value);
    // The rest of the line as UTF-16, each byte one unit and "|" a line
    // feed, cut to `capacity` units with the terminator; the line end goes
    // with it.
    void ReadText(std::u16string* text, uint32_t capacity);
    // Reads to the end of the line.
    void SkipLine();

private:
    // False at the end of the data or when a byte cannot be read.
    bool Next(uint8_t* byte);
    // A CR is followed by its LF, which is taken without a look.
    void FinishLine(uint8_t end);

    ICFile* m_file = nullptr;
    const uint8_t* m_data = nullptr;
    uint32_t m_size = 0;
    uint32_t m_position = 0;
    bool m_ended = false;
};

#endif
