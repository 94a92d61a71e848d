#ifndef JSMARTPTR_H
#define JSMARTPTR_H

#include "JObject.h"
#include "JRefCount.h"

// Shares one heap object (made with new) between holders; the holder that
// drops the last reference deletes it.
template <typename T>
class JSmartPtr : public JRefBase<T> {
public:
    explicit JSmartPtr(T* object = nullptr) { take(object); }
    JSmartPtr(const JSmartPtr& other) : object(other.object), refCount(other.refCount) { JAddRef(refCount); }
    ~JSmartPtr() { release(); }

    JSmartPtr& operator=(T* p) {
        if (p == object) return *this;
        release();
        take(p);
        return *this;
    }

    JSmartPtr& operator=(const JSmartPtr& other) {
        if (other.object == object) return *this;
        release();
        object = other.object;
        refCount = other.refCount;
        JAddRef(refCount);
        return *this;
    }

    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    T* get() const { return object; }

    // Gives up this holder's reference. A holder that was not the last one
    // forgets the object too, so that a second release cannot drop the
    // count again.
    void release() {
        if (dropRef() && object != nullptr) delete object;
        object = nullptr;
        refCount = nullptr;
    }

    bool dropRef() { return JDropRef(refCount); }

private:
    // Without a count word the object cannot be shared safely: it is not
    // taken (it leaks, which is better than a double delete).
    void take(T* p) {
        object = nullptr;
        refCount = nullptr;
        if (p == nullptr) return;
        refCount = JNewRefCount();
        if (refCount != nullptr) object = p;
    }

    T* object = nullptr;
    uint32_t* refCount = nullptr;
};

#endif
