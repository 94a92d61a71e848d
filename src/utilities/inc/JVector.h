#ifndef JVECTOR_H
#define JVECTOR_H

#include <cstdint>

#include "CAssert.h"
#include "JArray.h"
#include "JObject.h"
#include "JSmartObject.h"
#include "JSystem.h"

// Lines under which the vector reports its checks.
namespace JVectorCheck {
constexpr const char* kSource = "JVector";
constexpr int kIndexOfStart = 152;
constexpr int kInsertIndex = 162;
constexpr int kRemoveIndex = 208;
constexpr int kWriteIndex = 315;
constexpr int kReadIndex = 321;
constexpr int kInitCapacity = 328;
}  // namespace JVectorCheck

// The growable array of the game code. Its storage is a shared array whose
// length is the capacity; vectors never share storage with one another, so
// copying a vector copies its elements. Slots past the element count keep
// whatever they last held.
template <typename T>
class JVector : public JObject {
public:
    static constexpr int32_t kDefaultCapacity = 10;

    JVector() { init(kDefaultCapacity, 0); }
    JVector(int32_t capacity, int32_t increment) { init(capacity, increment); }
    JVector(const JVector& other) {
        init(other.capacity(), other.capacityIncrement);
        appendAll(other);
    }
    ~JVector() {
        removeAllElements();
        elementData.release();
    }

    JVector& operator=(const JVector& other) {
        if (&other == this) return *this;
        removeAllElements();
        init(other.capacity(), other.capacityIncrement);
        appendAll(other);
        return *this;
    }

    // A negative capacity is reported and taken as 0.
    void init(int32_t capacity, int32_t increment) {
        Assert(capacity >= 0, JVectorCheck::kSource, JVectorCheck::kInitCapacity);
        const int32_t slots = capacity < 0 ? 0 : capacity;
        elementCount = 0;
        elementData = JNewArray<T>(slots);
        elementData.setLength(elementData.getData() == nullptr ? 0 : slots);
        capacityIncrement = increment;
    }

    void ensureCapacity(int32_t minCapacity) { grow(minCapacity); }

    // An element that finds no room (the heap refused to grow the storage)
    // is dropped with a debug line. The element may be one of this
    // vector's own: growing frees the storage it lies in, so it is copied
    // out first.
    void addElement(const T& element) {
        if (elementCount < capacity()) [[likely]] {
            elementData.getData()[elementCount++] = element;
            return;
        }
        const T kept(element);
        if (grow(elementCount + 1)) elementData.getData()[elementCount++] = kept;
    }

    // The element is copied out before the shift and the growing that may
    // move it, as it may be one of this vector's own.
    void insertElementAt(const T& element, int32_t index) {
        if (!check(index >= 0 && index <= elementCount, JVectorCheck::kInsertIndex)) return;
        const T kept(element);
        if (!grow(elementCount + 1)) return;
        JSystem::arraycopy(elementData, index, elementData, index + 1, elementCount - index);
        elementData.getData()[index] = kept;
        ++elementCount;
    }

    void removeElementAt(int32_t index) {
        if (!check(index >= 0 && index < elementCount, JVectorCheck::kRemoveIndex)) return;
        if (index != elementCount - 1) {
            JSystem::arraycopy(elementData, index + 1, elementData, index, elementCount - index - 1);
        }
        --elementCount;
    }

    bool removeElement(const T& element) {
        const int32_t index = indexOf(element, 0);
        if (index == -1) return false;
        removeElementAt(index);
        return true;
    }

    void removeAllElements() { clear(); }

    // A negative start is reported and searched from 0.
    int32_t indexOf(const T& element, int32_t from) const {
        if (!check(from >= 0, JVectorCheck::kIndexOfStart)) from = 0;
        const T* slots = elementData.getData();
        for (int32_t i = from; i < elementCount; ++i) {
            if (slots[i] == element) return i;
        }
        return -1;
    }

    bool contains(const T& element) const { return indexOf(element, 0) != -1; }

    // A bad index is reported and answered with a scratch element.
    T& elementAt(int32_t index) {
        if (inUse(index)) [[likely]] return elementData.getData()[index];
        return badIndex(JVectorCheck::kWriteIndex);
    }

    const T& elementAt(int32_t index) const {
        if (inUse(index)) [[likely]] return elementData.getData()[index];
        return badIndex(JVectorCheck::kReadIndex);
    }

    T& operator[](int32_t index) { return elementAt(index); }
    const T& operator[](int32_t index) const { return elementAt(index); }
    T& lastElement() { return elementAt(elementCount - 1); }
    const T& lastElement() const { return elementAt(elementCount - 1); }

    int32_t size() const { return elementCount; }
    int32_t capacity() const { return elementData.length(); }

    // A negative size is reported and ignored; slots exposed by a larger
    // size hold whatever they last held.
    void setSize(int32_t n) {
        ASSERT(n >= 0);
        if (n < 0) return;
        if (grow(n)) elementCount = n;
    }

    void clear() { elementCount = 0; }

private:
    // The report is out of line; the passing test stays cheap.
    static bool check(bool condition, int line) {
        if (!condition) Assert(false, JVectorCheck::kSource, line);
        return condition;
    }

    bool inUse(int32_t index) const { return index >= 0 && index < elementCount; }

    // Reported by the vector and again by its storage, which hands out a
    // scratch element.
    T& badIndex(int line) {
        check(false, line);
        return elementData[-1];
    }
    const T& badIndex(int line) const {
        check(false, line);
        return elementData[-1];
    }

    void appendAll(const JVector& other) {
        for (int32_t i = 0; i < other.elementCount; ++i) addElement(other.elementData.getData()[i]);
    }

    // Doubles the capacity (or adds the increment), never below minCapacity.
    // False, with the storage unchanged, when the heap refuses.
    bool grow(int32_t minCapacity) {
        const int32_t oldCapacity = capacity();
        if (minCapacity <= oldCapacity) return true;
        int64_t newCapacity = capacityIncrement < 1 ? int64_t{oldCapacity} * 2 : int64_t{oldCapacity} + capacityIncrement;
        if (newCapacity < minCapacity) newCapacity = minCapacity;
        if (newCapacity > INT32_MAX) newCapacity = INT32_MAX;
        T* storage = JNewArray<T>(static_cast<int32_t>(newCapacity));
        if (storage == nullptr) {
            DebugPrintf("JVector: cannot grow from %d to %d elements", oldCapacity, minCapacity);
            return false;
        }
        const JSmartObject<T> old(elementData);
        elementData = storage;
        elementData.setLength(static_cast<int32_t>(newCapacity));
        JSystem::arraycopy(old, 0, elementData, 0, elementCount);
        return true;
    }

    JSmartObject<T> elementData;
    int32_t capacityIncrement = 0;
    int32_t elementCount = 0;
};

#endif
