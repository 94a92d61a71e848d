#include "JString.h"

#include <string_view>

#include "CAssert.h"
#include "CMemory.h"
#include "CRuntime.h"
#include "JArray.h"
#include "JStringBuffer.h"
#include "StrFormat.h"
#include "WideStr.h"

namespace {

// The count word in front of the units.
constexpr size_t kCountUnits = sizeof(uint32_t) / sizeof(WChar);
// Room for "-2147483648" and its terminator, with margin.
constexpr int32_t kNumberUnits = 16;
constexpr WChar kLastTrimmedUnit = 0x20;

bool Check(bool condition, int line) {
    Assert(condition, JStringCheck::kSource, line);
    return condition;
}

int32_t UnitDifference(WChar a, WChar b) { return static_cast<int32_t>(a) - static_cast<int32_t>(b); }

std::u16string_view View(const WChar* data, int32_t length) {
    return std::u16string_view(data, static_cast<size_t>(length));
}

// The units of text[offset .. offset + count) with count resolved against
// the text's length (-1: to the end; cut at the end). False when the result
// is empty; an offset outside the text is reported at `line`.
bool ResolveRange(int32_t textLength, int32_t offset, int32_t& count, int line) {
    if (textLength == 0) return false;
    if (count == -1) count = textLength - offset;
    if (count <= 0) return false;
    if (!Check(offset >= 0 && offset < textLength, line)) return false;
    if (count > textLength - offset) count = textLength - offset;
    return true;
}

}  // namespace

uint32_t& JString::CountOf(WChar* data) { return *reinterpret_cast<uint32_t*>(data - kCountUnits); }

WChar* JString::allocate(int32_t room) {
    if (room < 1) return nullptr;
    const size_t bytes = ArrayBytes(static_cast<size_t>(room) + kCountUnits, sizeof(WChar));
    void* block = bytes == 0 || bytes > kJLargestArrayBytes ? nullptr : MemAllocArray(bytes);
    if (block == nullptr) {
        DebugPrintf("JString: no memory for %d units", room);
        return nullptr;
    }
    *static_cast<uint32_t*>(block) = 0;
    return static_cast<WChar*>(block) + kCountUnits;
}

void JString::adopt(WChar* data, int32_t length) {
    m_data = data;
    m_length = data == nullptr ? 0 : length;
    addRef();
}

void JString::addRef() {
    if (m_data != nullptr) ++CountOf(m_data);
}

void JString::release() {
    if (m_data == nullptr) return;
    if (--CountOf(m_data) == 0) MemFreeArray(m_data - kCountUnits);
    m_data = nullptr;
    m_length = 0;
}

JString JString::FromUnits(const WChar* units, int32_t count) {
    JString result;
    result.fill(units, count);
    return result;
}

void JString::fill(const WChar* units, int32_t count) {
    if (count <= 0) return;
    WChar* data = allocate(count + 1);
    if (data == nullptr) return;
    MemCopy(data, units, static_cast<size_t>(count) * sizeof(WChar));
    data[count] = 0;
    adopt(data, count);
}

JString::JString(const JString& other) : JObject(), m_data(other.m_data), m_length(other.m_length) { addRef(); }

JString::JString(const WChar* text, int32_t offset, int32_t count) {
    if (text == nullptr) return;
    if (!ResolveRange(static_cast<int32_t>(WideStrLen(text)), offset, count, JStringCheck::kWideOffset)) return;
    fill(text + offset, count);
}

JString::JString(const char* text, int32_t offset, int32_t count) {
    if (text == nullptr) return;
    if (!ResolveRange(static_cast<int32_t>(StrLen(text)), offset, count, JStringCheck::kNarrowOffset)) return;
    WChar* data = allocate(count + 1);
    if (data == nullptr) return;
    for (int32_t i = 0; i < count; ++i) data[i] = static_cast<uint8_t>(text[offset + i]);
    data[count] = 0;
    adopt(data, count);
}

JString::JString(const JStringBuffer& buffer) { fill(buffer.getBuffer(), buffer.length()); }

JString::~JString() { release(); }

JString& JString::operator=(const JString& other) {
    if (equals(other)) return *this;
    release();
    m_data = other.m_data;
    m_length = other.m_length;
    addRef();
    return *this;
}

WChar JString::charAt(int32_t index) const {
    if (!Check(index >= 0 && index < m_length, JStringCheck::kCharAtIndex)) return 0;
    return m_data[index];
}

int32_t JString::compareTo(const JString& other) const {
    if (m_data == other.m_data) return 0;
    if (m_data == nullptr) return -1;
    if (other.m_data == nullptr) return 1;
    const int32_t shorter = m_length < other.m_length ? m_length : other.m_length;
    for (int32_t i = 0; i < shorter; ++i) {
        if (m_data[i] != other.m_data[i]) return UnitDifference(m_data[i], other.m_data[i]);
    }
    return m_length - other.m_length;
}

bool JString::equals(const JString& other) const {
    return m_length == other.m_length && compareTo(other) == 0;
}

bool JString::equalsIgnoreCase(const JString& other) const {
    if (m_length == 0 || other.m_length == 0) return m_length == other.m_length;
    return WideStrCompareNoCase(m_data, other.m_data) == 0;
}

bool JString::regionMatches(bool ignoreCase, int32_t offset, const JString& other, int32_t otherOffset,
                            int32_t count) const {
    if (offset < 0 || otherOffset < 0) return false;
    if (offset > int64_t{m_length} - count || otherOffset > int64_t{other.m_length} - count) return false;
    for (int32_t i = 0; i < count; ++i) {
        const WChar a = m_data[offset + i];
        const WChar b = other.m_data[otherOffset + i];
        if (a == b) continue;
        if (!ignoreCase) return false;
        const WChar upperA = WideCharToUpper(a);
        const WChar upperB = WideCharToUpper(b);
        if (upperA != upperB && WideCharToLower(upperA) != WideCharToLower(upperB)) return false;
    }
    return true;
}

bool JString::startsWith(const JString& prefix, int32_t offset) const {
    if (offset < 0 || offset >= m_length) return false;
    if (prefix.m_length > m_length - offset) return false;
    return View(m_data + offset, prefix.m_length) == View(prefix.m_data, prefix.m_length);
}

bool JString::endsWith(const JString& suffix) const {
    // Every string ends with the empty one.
    if (suffix.m_length == 0) return true;
    return startsWith(suffix, m_length - suffix.m_length);
}

int32_t JString::hashCode() const {
    uint32_t hash = 0;
    for (int32_t i = 0; i < m_length; ++i) hash = hash * 31u + m_data[i];
    return static_cast<int32_t>(hash);
}

int32_t JString::indexOf(int32_t unit, int32_t from) const {
    if (from >= m_length) return -1;
    if (from < 0) from = 0;
    for (int32_t i = from; i < m_length; ++i) {
        if (m_data[i] == unit) return i;
    }
    return -1;
}

int32_t JString::indexOf(const JString& text, int32_t from) const {
    if (from >= m_length) return -1;
    if (from < 0) from = 0;
    const size_t found = View(m_data, m_length).find(View(text.m_data, text.m_length), static_cast<size_t>(from));
    return found == std::u16string_view::npos ? -1 : static_cast<int32_t>(found);
}

int32_t JString::lastIndexOf(int32_t unit, int32_t from) const {
    if (from < 0) return -1;
    for (int32_t i = from < m_length ? from : m_length - 1; i >= 0; --i) {
        if (m_data[i] == unit) return i;
    }
    return -1;
}

JString JString::substring(int32_t begin, int32_t end) const {
    if (!Check(begin >= 0, JStringCheck::kSubstringBegin)) return JString();
    if (end == -1) end = m_length;
    if (!Check(begin <= end && end <= m_length, JStringCheck::kSubstringRange)) return JString();
    if (begin == 0 && end == m_length) return *this;
    return FromUnits(m_data + begin, end - begin);
}

JString JString::concat(const JString& other) const {
    if (other.m_length == 0) return *this;
    if (m_length == 0) return other;
    const int64_t total = int64_t{m_length} + other.m_length;
    WChar* data = total < INT32_MAX ? allocate(static_cast<int32_t>(total) + 1) : nullptr;
    if (data == nullptr) {
        DebugPrintf("JString: concatenation of %d and %d units refused", m_length, other.m_length);
        return JString();
    }
    MemCopy(data, m_data, static_cast<size_t>(m_length) * sizeof(WChar));
    MemCopy(data + m_length, other.m_data, static_cast<size_t>(other.m_length) * sizeof(WChar));
    data[total] = 0;
    JString result;
    result.adopt(data, static_cast<int32_t>(total));
    return result;
}

JString& JString::operator+=(const JString& other) { return *this = concat(other); }

JString& JString::operator+=(int32_t value) { return *this = concat(valueOf(value)); }

template <typename MapUnit>
JString JString::mapUnits(MapUnit map) const {
    int32_t first = 0;
    while (first < m_length && map(m_data[first]) == m_data[first]) ++first;
    if (first == m_length) return *this;
    JString result = FromUnits(m_data, m_length);
    if (result.m_data == nullptr) return result;
    for (int32_t i = first; i < m_length; ++i) result.m_data[i] = map(result.m_data[i]);
    return result;
}

JString JString::replace(WChar oldUnit, WChar newUnit) const {
    return mapUnits([oldUnit, newUnit](WChar unit) { return unit == oldUnit ? newUnit : unit; });
}

JString JString::toLowerCase() const { return mapUnits(WideCharToLower); }

JString JString::toUpperCase() const { return mapUnits(WideCharToUpper); }

JString JString::trim() const {
    int32_t begin = 0;
    int32_t end = m_length;
    while (begin < end && m_data[begin] <= kLastTrimmedUnit) ++begin;
    while (end > begin && m_data[end - 1] <= kLastTrimmedUnit) --end;
    return substring(begin, end);
}

JString JString::valueOf(bool value) { return JString(value ? "true" : "false"); }

JString JString::valueOf(WChar unit) { return FromUnits(&unit, unit == 0 ? 0 : 1); }

JString JString::valueOf(int32_t value) {
    WChar digits[kNumberUnits];
    FormatWide(digits, u"%d", value);
    return JString(digits);
}

// Digits from the least significant end, each remainder taken by magnitude,
// so the most negative value needs no negation of the whole.
JString JString::valueOf(int64_t value) {
    JStringBuffer digits;
    int64_t rest = value;
    do {
        const int64_t remainder = rest % 10;
        digits.insert(0, static_cast<WChar>(u'0' + (remainder < 0 ? -remainder : remainder)));
        rest /= 10;
    } while (rest != 0);
    if (value < 0) digits.insert(0, u'-');
    return digits.toString();
}
