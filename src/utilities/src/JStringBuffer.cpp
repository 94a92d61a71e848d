#include "JStringBuffer.h"

#include <cstring>
#include <functional>

#include "CAssert.h"
#include "CMemory.h"
#include "CRuntime.h"
#include "JArray.h"
#include "JString.h"
#include "StrFormat.h"
#include "WideStr.h"

namespace {

constexpr int32_t kCapacityStep = 8;
constexpr int32_t kNumberUnits = 16;

bool Check(bool condition, int line) {
    Assert(condition, JStringBufferCheck::kSource, line);
    return condition;
}

int32_t LengthOf(const WChar* text) { return static_cast<int32_t>(WideStrLen(text)); }

// The next multiple of 8 strictly above minCapacity, or 0x7FFFFFFF when that
// does not fit in 32 bits.
int32_t RoundedCapacity(int32_t minCapacity) {
    const int64_t rounded = int64_t{kCapacityStep} * (minCapacity / kCapacityStep + 1);
    return rounded > INT32_MAX ? INT32_MAX : static_cast<int32_t>(rounded);
}

}  // namespace

JStringBuffer::JStringBuffer(int32_t capacity) {
    if (capacity >= 0 && capacity < INT32_MAX) ensureCapacity(capacity + 1, false);
}

JStringBuffer::JStringBuffer(const JString& text) { takeText(text.getBuffer(), text.length()); }

JStringBuffer::JStringBuffer(const JStringBuffer& other) : JObject() { takeText(other.m_data, other.m_length); }

JStringBuffer::JStringBuffer(const WChar* text) {
    if (text != nullptr) takeText(text, LengthOf(text));
}

JStringBuffer::JStringBuffer(const char* text) {
    if (text == nullptr) return;
    const int32_t length = static_cast<int32_t>(StrLen(text));
    if (!ensureCapacity(length + 1, false)) return;
    WideFromAscii(m_data, text);
    m_length = length;
}

JStringBuffer::~JStringBuffer() { MemFreeArray(m_data); }

void JStringBuffer::takeText(const WChar* units, int32_t count) {
    if (!ensureCapacity(count + 1, false)) return;
    insertUnits(0, units, count);
}

JStringBuffer& JStringBuffer::operator=(const JStringBuffer& other) {
    if (equals(other)) return *this;
    if (!ensureCapacity(other.m_length + 1, false)) return *this;
    m_length = 0;
    // Terminated even when the other buffer has no storage to copy.
    if (m_data != nullptr) m_data[0] = 0;
    insertUnits(0, other.m_data, other.m_length);
    return *this;
}

bool JStringBuffer::equals(const JStringBuffer& other) const {
    if (m_data == other.m_data) return true;
    if (m_data == nullptr || other.m_data == nullptr) return false;
    return WideStrCompare(m_data, other.m_data) == 0;
}

JString JStringBuffer::toString() const { return JString(*this); }

WChar JStringBuffer::charAt(int32_t index) const {
    if (!Check(index >= 0 && index < m_length, JStringBufferCheck::kCharAtIndex)) return 0;
    return m_data[index];
}

void JStringBuffer::setCharAt(int32_t index, WChar unit) {
    if (Check(index >= 0 && index < m_length, JStringBufferCheck::kSetCharIndex)) m_data[index] = unit;
}

bool JStringBuffer::ensureCapacity(int32_t minCapacity, bool keep) {
    if (m_capacity >= minCapacity) return true;
    const int32_t newCapacity = RoundedCapacity(minCapacity);
    const size_t bytes = ArrayBytes(static_cast<size_t>(newCapacity), sizeof(WChar));
    WChar* storage = bytes > kJLargestArrayBytes ? nullptr : static_cast<WChar*>(MemAllocArray(bytes));
    if (storage == nullptr) {
        DebugPrintf("JStringBuffer: no storage for %d units", newCapacity);
        return false;
    }
    if (m_data != nullptr && keep) {
        MemCopy(storage, m_data, (static_cast<size_t>(m_length) + 1) * sizeof(WChar));
    } else {
        storage[0] = 0;
        if (m_data != nullptr) m_length = 0;
    }
    MemFreeArray(m_data);
    m_data = storage;
    m_capacity = newCapacity;
    return true;
}

// Moves the units from `from` up to and including the terminator so that
// they start at `to`; the ranges may overlap.
void JStringBuffer::moveTail(int32_t from, int32_t to) {
    std::memmove(m_data + to, m_data + from, (static_cast<size_t>(m_length - from) + 1) * sizeof(WChar));
}

bool JStringBuffer::holds(const WChar* units) const {
    const std::less<const WChar*> before;
    return m_data != nullptr && !before(units, m_data) && before(units, m_data + m_capacity);
}

void JStringBuffer::insertUnits(int32_t offset, const WChar* units, int32_t count) {
    if (count <= 0) return;
    if (holds(units)) {
        // The buffer's own text moves with the shift and the growing below.
        JStringBuffer own;
        own.takeText(units, count);
        if (own.m_length == count) insertUnits(offset, own.m_data, count);
        return;
    }
    if (int64_t{m_length} + count >= INT32_MAX || !ensureCapacity(m_length + count + 1, true)) {
        DebugPrintf("JStringBuffer: no room for %d more units", count);
        return;
    }
    moveTail(offset, offset + count);
    MemCopy(m_data + offset, units, static_cast<size_t>(count) * sizeof(WChar));
    m_length += count;
}

JStringBuffer& JStringBuffer::append(const WChar* text, int32_t offset, int32_t count) {
    if (text == nullptr) return *this;
    const int32_t textLength = LengthOf(text);
    if (count == -1) count = textLength - offset;
    const bool inside = offset >= 0 && count >= 0 && int64_t{offset} + count <= textLength;
    if (Check(inside, JStringBufferCheck::kAppendRange)) insertUnits(m_length, text + offset, count);
    return *this;
}

JStringBuffer& JStringBuffer::append(const char* text, int32_t offset, int32_t count) {
    if (text == nullptr) return *this;
    const JStringBuffer wide(text);
    return append(wide.m_data, offset, count);
}

JStringBuffer& JStringBuffer::append(int32_t value) {
    WChar digits[kNumberUnits];
    FormatWide(digits, u"%d", value);
    return append(digits);
}

JStringBuffer& JStringBuffer::append(const JString& text) {
    insertUnits(m_length, text.getBuffer(), text.length());
    return *this;
}

JStringBuffer& JStringBuffer::insert(int32_t offset, const WChar* text) {
    if (text == nullptr) return *this;
    if (Check(offset >= 0 && offset <= m_length, JStringBufferCheck::kInsertOffset)) {
        insertUnits(offset, text, LengthOf(text));
    }
    return *this;
}

JStringBuffer& JStringBuffer::insert(int32_t offset, const char* text) {
    if (text == nullptr) return *this;
    const JStringBuffer wide(text);
    return insert(offset, wide.m_data);
}

JStringBuffer& JStringBuffer::insert(int32_t offset, const JString& text) {
    if (text.length() == 0) return *this;
    return insert(offset, text.getBuffer());
}

JStringBuffer& JStringBuffer::insert(int32_t offset, WChar unit) {
    const WChar text[2] = {unit, 0};
    return insert(offset, text);
}

JStringBuffer& JStringBuffer::insert(int32_t offset, char byte) {
    return insert(offset, static_cast<WChar>(static_cast<int16_t>(static_cast<int8_t>(byte))));
}

JStringBuffer& JStringBuffer::insert(int32_t offset, int32_t value) {
    WChar digits[kNumberUnits];
    FormatWide(digits, u"%d", value);
    return insert(offset, digits);
}

JStringBuffer& JStringBuffer::deleteRange(int32_t start, int32_t end) {
    if (start == end) return *this;
    if (end > m_length) end = m_length;
    if (!Check(start >= 0 && start < end, JStringBufferCheck::kDeleteRange)) return *this;
    moveTail(end, start);
    m_length -= end - start;
    return *this;
}

JStringBuffer& JStringBuffer::deleteCharAt(int32_t index) {
    if (!Check(index >= 0 && index < m_length, JStringBufferCheck::kDeleteIndex)) return *this;
    moveTail(index + 1, index);
    --m_length;
    return *this;
}

JStringBuffer& JStringBuffer::reverse() {
    const int32_t last = m_length - 1;
    for (int32_t j = (last - 1) / 2; j >= 0; --j) {
        const WChar unit = m_data[j];
        m_data[j] = m_data[last - j];
        m_data[last - j] = unit;
    }
    return *this;
}

JStringBuffer& JStringBuffer::setLength(int32_t n) {
    ASSERT(n >= 0);
    if (n < 0 || n == INT32_MAX || !ensureCapacity(n + 1, true)) return *this;
    m_data[n] = 0;
    if (n < m_length) m_length = n;
    return *this;
}
