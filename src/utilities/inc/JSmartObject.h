#ifndef JSMARTOBJECT_H
#define JSMARTOBJECT_H

#include "JArray.h"
#include "JObject.h"
#include "JRefCount.h"

// Lines under which the array holder reports its checks.
namespace JSmartObjectCheck {
constexpr const char* kSource = "JSmartObject";
constexpr int kWriteIndex = 272;
constexpr int kReadIndex = 278;
constexpr int kLengthKnown = 283;
}  // namespace JSmartObjectCheck

// Shares one array made by JNewArray between holders, with its length. The
// holder that drops the last reference destroys and frees the array.
// A holder given storage by assignment has length -1 until setLength.
template <typename T>
class JSmartObject : public JRefBase<T> {
public:
    JSmartObject() = default;
    JSmartObject(T* elements, int32_t count) : m_length(count) { take(elements); }
    JSmartObject(const JSmartObject& other) : data(other.data), refCount(other.refCount), m_length(other.length()) {
        JAddRef(refCount);
    }
    ~JSmartObject() { release(); }

    JSmartObject& operator=(T* storage) {
        if (storage == data) return *this;
        release();
        take(storage);
        m_length = -1;
        return *this;
    }

    JSmartObject& operator=(const JSmartObject& other) {
        if (other.data == data) return *this;
        release();
        data = other.data;
        refCount = other.refCount;
        m_length = other.length();
        JAddRef(refCount);
        return *this;
    }

    void setLength(int32_t count) { m_length = count; }

    int32_t length() const {
        Check(m_length >= 0, JSmartObjectCheck::kLengthKnown);
        return m_length;
    }

    // After a failed check the accessors hand out a scratch element, so the
    // caller never reaches outside the array.
    T& operator[](int32_t i) {
        if (!Check(inRange(i), JSmartObjectCheck::kWriteIndex)) return scratch();
        return data[i];
    }

    const T& operator[](int32_t i) const {
        if (!Check(inRange(i), JSmartObjectCheck::kReadIndex)) return scratch();
        return data[i];
    }

    T* getData() const { return data; }
    bool operator!=(const JSmartObject& other) const { return data != other.data; }

    // Gives up this holder's reference; the last one destroys the array.
    // Every holder forgets the array, so a second release is harmless.
    void release() {
        if (dropRef()) JDeleteArray(data);
        data = nullptr;
        refCount = nullptr;
        m_length = 0;
    }

    void addRef() { JAddRef(refCount); }
    bool dropRef() { return JDropRef(refCount); }

private:
    static bool Check(bool condition, int line) {
        if (!condition) Assert(false, JSmartObjectCheck::kSource, line);
        return condition;
    }

    bool inRange(int32_t i) const { return data != nullptr && i >= 0 && i < m_length; }

    static T& scratch() {
        static T element{};
        element = T{};
        return element;
    }

    // Without a count word the array cannot be shared safely: it is freed
    // at once and the holder stays empty.
    void take(T* elements) {
        data = nullptr;
        refCount = nullptr;
        if (elements == nullptr) return;
        refCount = JNewRefCount();
        if (refCount == nullptr) {
            JDeleteArray(elements);
            m_length = 0;
            return;
        }
        data = elements;
    }

    T* data = nullptr;
    uint32_t* refCount = nullptr;
    int32_t m_length = -1;
};

#endif
