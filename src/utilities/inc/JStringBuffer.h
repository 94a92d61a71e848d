#ifndef JSTRINGBUFFER_H
#define JSTRINGBUFFER_H

#include <cstdint>

#include "EngineTypes.h"
#include "JObject.h"

class JString;

// Lines under which the string buffer reports its checks.
namespace JStringBufferCheck {
constexpr const char* kSource = "JStringBuffer";
constexpr int kDeleteRange = 60;
constexpr int kDeleteIndex = 68;
constexpr int kSetCharIndex = 88;
constexpr int kAppendRange = 113;
constexpr int kInsertOffset = 148;
constexpr int kCharAtIndex = 274;
}  // namespace JStringBufferCheck

// A growable UTF-16 text of its own (never shared) for building strings.
// With storage, the text is always terminated: data[length] is 0 and length
// < capacity; the capacity is 0 or a multiple of 8. Every edit that finds no
// room (the heap refused to grow) leaves the text as it was, with a debug
// line; every bad range or index is reported and changes nothing.
class JStringBuffer : public JObject {
public:
    JStringBuffer() = default;
    explicit JStringBuffer(int32_t capacity);
    explicit JStringBuffer(const JString& text);
    JStringBuffer(const JStringBuffer& other);
    explicit JStringBuffer(const WChar* text);
    // Each byte is widened to the unit of the same value.
    explicit JStringBuffer(const char* text);
    ~JStringBuffer();

    JStringBuffer& operator=(const JStringBuffer& other);
    bool equals(const JStringBuffer& other) const;
    JString toString() const;

    int32_t length() const { return m_length; }
    // Null while there is no storage.
    const WChar* getBuffer() const { return m_data; }
    WChar charAt(int32_t index) const;
    void setCharAt(int32_t index, WChar unit);

    // count -1 takes the text from offset to its end. A null text adds
    // nothing.
    JStringBuffer& append(const WChar* text, int32_t offset = 0, int32_t count = -1);
    JStringBuffer& append(const char* text, int32_t offset = 0, int32_t count = -1);
    JStringBuffer& append(int32_t value);
    JStringBuffer& append(const JString& text);

    JStringBuffer& insert(int32_t offset, const WChar* text);
    JStringBuffer& insert(int32_t offset, const char* text);
    JStringBuffer& insert(int32_t offset, const JString& text);
    // A 0 unit inserts nothing.
    JStringBuffer& insert(int32_t offset, WChar unit);
    // The byte is sign-extended to 16 bits, whatever the host's char.
    JStringBuffer& insert(int32_t offset, char byte);
    JStringBuffer& insert(int32_t offset, int32_t value);

    // Removes [start, end), end cut to the length; nothing when start == end.
    JStringBuffer& deleteRange(int32_t start, int32_t end);
    JStringBuffer& deleteCharAt(int32_t index);
    JStringBuffer& reverse();
    // Shortens the text to n units; a larger n only makes room.
    JStringBuffer& setLength(int32_t n);
    // Grows the storage to the next multiple of 8 strictly above
    // minCapacity (0x7FFFFFFF when that overflows), keeping the text when
    // asked. False when the heap refuses; the buffer is then unchanged.
    bool ensureCapacity(int32_t minCapacity, bool keep);

    int32_t capacity() const { return m_capacity; }

private:
    // Whether units point into this buffer's storage.
    bool holds(const WChar* units) const;
    // Inserts count units at offset (offset == length appends).
    void insertUnits(int32_t offset, const WChar* units, int32_t count);
    void takeText(const WChar* units, int32_t count);
    void moveTail(int32_t from, int32_t to);

    WChar* m_data = nullptr;
    int32_t m_length = 0;
    int32_t m_capacity = 0;
};

#endif
