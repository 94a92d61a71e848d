#ifndef CAPPPROPERTIES_H
#define CAPPPROPERTIES_H

#include "CSingleton.h"
#include "CStrChar.h"
#include "CVector.h"

class CInputStream;

// The product settings of "properties.dat": lines of a key and a value,
// read by name as text, integer or boolean. Keys are kept only as their
// name hashes, in the order they were first defined.
class CAppProperties : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x8C535A57;

    CAppProperties();
    ~CAppProperties() override;

    // Replaces the table with the lines of the stream. Comments ("!" or "#"
    // in the first column) and lines without both a key and a value are
    // skipped; the first definition of a key wins.
    void Load(CInputStream& stream);
    // The bytes up to the next LF (dropped) or the end of the stream; zero
    // bytes are left out, a CR stays.
    static void ReadLine(CInputStream& stream, CStrChar& line);

    // False for a null or empty text, a key already present, or a failed
    // allocation.
    bool Add(const char* key, const char* value);
    bool HasKey(const char* name) const;
    // The value, or null when the name is null or absent.
    const char* GetString(const char* name) const;
    // The value as a decimal (saturating at the i32 limits), 0 when absent.
    int32_t GetInt(const char* name) const;
    // True when the value is "true" in any case.
    bool GetBool(const char* name) const;
    // Index of the entry with the key, or -1.
    int32_t FindIndex(uint32_t key) const;
    void Clear();

private:
    struct Entry {
        uint32_t key;
        CStrChar value;

        static void* operator new(size_t bytes) noexcept { return MemAlloc(bytes); }
        static void operator delete(void* block) noexcept { MemFree(block); }
    };

    // Splits one line at its separator and adds what it defines.
    void ParseLine(const CStrChar& line);
    const Entry* FindEntry(const char* name) const;

    CVector m_entries;
};

#endif
