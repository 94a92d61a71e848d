#include "CConfigReader.h"

#include "ICFile.h"

namespace {

constexpr uint8_t kLineFeed = '\n';
constexpr uint8_t kCarriageReturn = '\r';
constexpr uint8_t kEquals = '=';
constexpr uint8_t kLineBreakMark = '|';

bool IsLineEnd(uint8_t byte) { return byte == kLineFeed || byte == kCarriageReturn; }

}  // namespace

CConfigReader::CConfigReader(ICFile* file) : m_file(file) {}

CConfigReader::CConfigReader(const uint8_t* data, uint32_t size) : m_data(data), m_size(data != nullptr ? size : 0) {}

bool CConfigReader::Next(uint8_t* byte) {
    if (m_ended) return false;
    if (m_file != nullptr) {
        m_ended = m_file->Read(byte, 1) != 1;
    } else {
        m_ended = m_position >= m_size;
        if (!m_ended) *byte = m_data[m_position++];
    }
    return !m_ended;
}

void CConfigReader::FinishLine(uint8_t end) {
    uint8_t ignored = 0;
    if (end == kCarriageReturn) Next(&ignored);
}

// A line without "=" ends the key: otherwise a stray line would run into
// the next one and take it for part of its key.
CConfigReader::KeyResult CConfigReader::ReadKey(char* key) {
    uint32_t length = 0;
    uint8_t byte = 0;
    KeyResult result = KeyResult::End;
    while (Next(&byte)) {
        if (byte == kEquals) {
            result = KeyResult::Key;
            break;
        }
        if (byte == kLineFeed) {
            result = KeyResult::NoEquals;
            break;
        }
        if (length + 1 < kFieldBytes) key[length++] = static_cast<char>(byte);
    }
    key[length] = '\0';
    return result;
}

void CConfigReader::ReadValue(char* value) {
    uint32_t length = 0;
    uint8_t byte = 0;
    while (Next(&byte) && !IsLineEnd(byte)) {
        if (length + 1 < kFieldBytes) value[length++] = static_cast<char>(byte);
    }
    value[length] = '\0';
    if (!m_ended) FinishLine(byte);
}

void CConfigReader::ReadText(std::u16string* text, uint32_t capacity) {
    text->clear();
    uint8_t byte = 0;
    while (Next(&byte) && !IsLineEnd(byte)) {
        if (text->size() + 1 >= capacity) continue;
        text->push_back(byte == kLineBreakMark ? u'\n' : static_cast<char16_t>(byte));
    }
    if (!m_ended) FinishLine(byte);
}

void CConfigReader::SkipLine() {
    uint8_t byte = 0;
    while (Next(&byte) && byte != kLineFeed) {
    }
}
