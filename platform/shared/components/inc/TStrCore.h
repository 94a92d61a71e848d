#ifndef TSTRCORE_H
#define TSTRCORE_H

#include "CAssert.h"
#include "CClass.h"
#include "CMemory.h"
#include "CRuntime.h"
#include "WideStr.h"

#include <utility>

inline uint32_t StrCoreTextLength(const char* text) {
    return StrLen(text);
}
inline uint32_t StrCoreTextLength(const WChar* text) {
    return WideStrLen(text);
}

// The shared body of CStrChar and CStrWChar: an owned heap buffer that holds
// exactly length + 1 units (the text and its terminator), or null when the
// string is empty. Every change allocates a new exact-size buffer. `Derived`
// is the concrete string, which slicing operations return.
template <typename Unit, typename Derived>
class TStrCore : public CClass {
public:
    Derived& operator=(const Unit* text) {
        Assign(text);
        return Self();
    }
    Derived& operator+=(const Unit* text) {
        Append(text);
        return Self();
    }
    Derived& operator+=(const Derived& other) {
        Append(other.GetBuffer());
        return Self();
    }

    void Release() {
        MemFreeArray(m_buffer);
        m_buffer = nullptr;
        m_length = 0;
    }

    // A null text changes nothing. The text may lie inside this string's own
    // buffer: it is copied before the old buffer goes.
    void Append(const Unit* text) {
        if (text == nullptr) {
            return;
        }
        const uint32_t n = StrCoreTextLength(text);
        AppendWith(n, [text, n](Unit* dst) { MemCopy(dst, text, ArrayBytes(n, sizeof(Unit))); });
    }

    const Unit* GetBuffer() const { return m_buffer; }
    int32_t GetLength() const { return m_length; }

    // A new string without leading and trailing TAB, LF, FF, CR and space.
    Derived Trim() const {
        int32_t first = 0;
        while (first < m_length && IsTrimmed(m_buffer[first])) {
            ++first;
        }
        int32_t last = m_length - 1;
        while (last >= 0 && IsTrimmed(m_buffer[last])) {
            --last;
        }
        return Substring(first, last);
    }

    // Index of the first occurrence of the text at or after `start` (a
    // negative start counts as 0), or -1. An empty text is found at `start`
    // while start <= length.
    int32_t Find(const Unit* text, int32_t start) const {
        ASSERT(text != nullptr);
        if (text == nullptr) {
            return -1;
        }
        const int32_t from = start < 0 ? 0 : start;
        const int64_t n = StrCoreTextLength(text);
        for (int64_t at = from; at + n <= m_length; ++at) {
            if (MemCompare(m_buffer + at, text, ArrayBytes(static_cast<size_t>(n), sizeof(Unit))) == 0) {
                return static_cast<int32_t>(at);
            }
        }
        return -1;
    }

    // Index of the n-th occurrence (from 1) of the unit; n = 0 asks for the
    // last one. -1 when there are fewer.
    int32_t FindIndexOfChar(int32_t n, Unit unit) const {
        if (n < 0) {
            return -1;
        }
        int32_t found = -1;
        int32_t seen = 0;
        for (int32_t i = 0; i < m_length; ++i) {
            if (m_buffer[i] != unit) {
                continue;
            }
            found = i;
            if (++seen == n) {
                return i;
            }
        }
        return n == 0 ? found : -1;
    }

    // The units from index `first` to index `last` inclusive, walking
    // backwards (so reversed) when last < first. A walk that reaches the
    // terminator ends there; positions beyond it are skipped.
    Derived Substring(int32_t first, int32_t last) const {
        Derived result;
        if (m_length < 1) {
            result.Append(kEmptyText);
            return result;
        }
        // Positions beyond the terminator contribute nothing, so clamping
        // both ends to it keeps the result and keeps the count small.
        const int32_t from = Clamp(first);
        const int32_t to = Clamp(last);
        const int32_t step = to >= from ? 1 : -1;
        const int32_t count = (to >= from ? to - from : from - to) + 1;
        Unit* units = static_cast<Unit*>(MemAllocArrayOf(static_cast<size_t>(count) + 1, sizeof(Unit)));
        if (units == nullptr) {
            return result;
        }
        int32_t copied = 0;
        for (int32_t i = 0, at = from; i < count; ++i, at += step) {
            units[copied++] = m_buffer[at];
        }
        units[copied] = 0;
        result.Append(units);
        MemFreeArray(units);
        return result;
    }

    // Index of the first unit at or after `start` (negative counts as 0)
    // that differs from `unit`, or -1.
    int32_t SpanNot(int32_t start, Unit unit) const {
        for (int32_t i = start < 0 ? 0 : start; i < m_length; ++i) {
            if (m_buffer[i] != unit) {
                return i;
            }
        }
        return -1;
    }

protected:
    explicit TStrCore(uint32_t classKey) : CClass(classKey) {}
    TStrCore(const TStrCore& other) : CClass(other) { Append(other.m_buffer); }
    TStrCore(TStrCore&& other) noexcept
        : CClass(other), m_buffer(std::exchange(other.m_buffer, nullptr)), m_length(std::exchange(other.m_length, 0)) {}
    ~TStrCore() override { Release(); }

    TStrCore& operator=(const TStrCore& other) {
        Assign(other.m_buffer);
        return *this;
    }
    TStrCore& operator=(TStrCore&& other) noexcept {
        if (this != &other) {
            Release();
            m_buffer = std::exchange(other.m_buffer, nullptr);
            m_length = std::exchange(other.m_length, 0);
        }
        return *this;
    }

    // Grows the buffer by n units: a new buffer gets the old text, then
    // `fill` writes the n new units behind it, and only then is the old
    // buffer freed (so `fill` may read from it). On a failed allocation the
    // string is left as it was.
    template <typename Fill>
    bool AppendWith(uint32_t n, Fill fill) {
        const uint64_t total = static_cast<uint64_t>(m_length) + n;
        const size_t bytes = total < 0x7FFFFFFF ? ArrayBytes(static_cast<size_t>(total) + 1, sizeof(Unit)) : 0;
        Unit* grown = bytes == 0 ? nullptr : static_cast<Unit*>(MemAllocArray(bytes));
        ASSERT(grown != nullptr);
        if (grown == nullptr) {
            return false;
        }
        MemCopy(grown, m_buffer, ArrayBytes(static_cast<size_t>(m_length), sizeof(Unit)));
        fill(grown + m_length);
        grown[total] = 0;
        MemFreeArray(m_buffer);
        m_buffer = grown;
        m_length = static_cast<int32_t>(total);
        return true;
    }

    // Replaces the text with a copy of `text`, which may be this string's
    // own buffer or lie inside it.
    void Assign(const Unit* text) {
        if (text == m_buffer) {
            return;
        }
        Derived replacement;
        replacement.Append(text);
        std::swap(m_buffer, replacement.m_buffer);
        std::swap(m_length, replacement.m_length);
    }

private:
    static constexpr Unit kEmptyText[1] = {0};

    static bool IsTrimmed(Unit unit) { return unit == 9 || unit == 10 || unit == 12 || unit == 13 || unit == 32; }
    int32_t Clamp(int32_t index) const { return index < 0 ? 0 : (index > m_length ? m_length : index); }
    Derived& Self() { return static_cast<Derived&>(*this); }

    Unit* m_buffer = nullptr;
    int32_t m_length = 0;
};

#endif
