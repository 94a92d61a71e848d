#include "CAppProperties.h"

#include "CInputStream.h"
#include "CRuntime.h"
#include "CStringToKey.h"

namespace {

constexpr char kLineFeed = 10;

// The bytes of one line, gathered in a buffer that doubles as it fills, so
// that a long line costs time in proportion to its length.
class LineBytes {
public:
    LineBytes() = default;
    ~LineBytes() { MemFreeArray(m_bytes); }

    LineBytes(const LineBytes&) = delete;
    LineBytes& operator=(const LineBytes&) = delete;

    // False (and the byte dropped) when the buffer could not grow.
    bool Push(char byte) {
        if (m_size + 1 >= m_capacity && !Grow()) {
            return false;
        }
        m_bytes[m_size++] = byte;
        m_bytes[m_size] = 0;
        return true;
    }
    const char* Text() const { return m_bytes; }

private:
    static constexpr uint32_t kFirstCapacity = 100;

    bool Grow() {
        const uint32_t capacity = m_capacity == 0 ? kFirstCapacity : m_capacity * 2;
        if (capacity <= m_capacity) {
            return false;
        }
        char* grown = static_cast<char*>(MemAllocArray(capacity));
        if (grown == nullptr) {
            return false;
        }
        MemCopy(grown, m_bytes, m_size);
        MemFreeArray(m_bytes);
        m_bytes = grown;
        m_capacity = capacity;
        return true;
    }

    char* m_bytes = nullptr;
    uint32_t m_size = 0;
    uint32_t m_capacity = 0;
};

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a != 0 && *b != 0; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b)) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace

CAppProperties::CAppProperties() : CSingleton(kClassKey) {}

CAppProperties::~CAppProperties() {
    Clear();
}

void CAppProperties::ReadLine(CInputStream& stream, CStrChar& line) {
    LineBytes bytes;
    while (stream.Available() != 0) {
        const int8_t byte = stream.ReadInt8();
        if (byte == kLineFeed) {
            break;
        }
        if (byte != 0) {
            bytes.Push(static_cast<char>(byte));
        }
    }
    line = bytes.Text();
}

void CAppProperties::Load(CInputStream& stream) {
    Clear();
    CStrChar line;
    while (stream.Available() != 0) {
        ReadLine(stream, line);
        ParseLine(line);
    }
}

void CAppProperties::ParseLine(const CStrChar& line) {
    const int32_t length = line.GetLength();
    if (length == 0 || line.CharAt(0) == '!' || line.CharAt(0) == '#') {
        return;
    }
    int32_t separator = line.Find("=", 0);
    if (separator < 0) {
        separator = line.Find(":", 0);
    }
    // No separator gives no value, and a separator first gives no key:
    // either way the line defines nothing.
    if (separator <= 0) {
        return;
    }
    const CStrChar key = line.Substring(0, separator - 1).Trim();
    const CStrChar value = line.Substring(separator + 1, length - 1).Trim();
    if (key.GetLength() > 0 && value.GetLength() > 0) {
        Add(key.GetBuffer(), value.GetBuffer());
    }
}

bool CAppProperties::Add(const char* key, const char* value) {
    if (key == nullptr || value == nullptr || key[0] == 0 || value[0] == 0) {
        return false;
    }
    const uint32_t hash = CStringToKey::Hash(key, false);
    if (FindIndex(hash) >= 0) {
        return false;
    }
    Entry* entry = new Entry{hash, CStrChar(value)};
    if (entry == nullptr) {
        return false;
    }
    if (entry->value.GetBuffer() == nullptr ||
        m_entries.Add(reinterpret_cast<uintptr_t>(entry)) != CVector::kResultOk) {
        delete entry;
        return false;
    }
    return true;
}

int32_t CAppProperties::FindIndex(uint32_t key) const {
    for (int32_t i = 0; i < m_entries.Size(); ++i) {
        if (reinterpret_cast<const Entry*>(m_entries.GetData()[i])->key == key) {
            return i;
        }
    }
    return -1;
}

const CAppProperties::Entry* CAppProperties::FindEntry(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    const int32_t index = FindIndex(CStringToKey::Hash(name, false));
    return index < 0 ? nullptr : reinterpret_cast<const Entry*>(m_entries.GetData()[index]);
}

bool CAppProperties::HasKey(const char* name) const {
    return FindEntry(name) != nullptr;
}

const char* CAppProperties::GetString(const char* name) const {
    const Entry* entry = FindEntry(name);
    return entry == nullptr ? nullptr : entry->value.GetBuffer();
}

int32_t CAppProperties::GetInt(const char* name) const {
    const char* value = GetString(name);
    return value == nullptr ? 0 : StrToInt(value);
}

bool CAppProperties::GetBool(const char* name) const {
    const char* value = GetString(name);
    return value != nullptr && EqualsIgnoringAsciiCase(value, "true");
}

void CAppProperties::Clear() {
    for (int32_t i = 0; i < m_entries.Size(); ++i) {
        delete reinterpret_cast<Entry*>(m_entries.GetData()[i]);
    }
    m_entries.Clear();
}
