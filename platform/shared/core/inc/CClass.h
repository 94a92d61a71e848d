#ifndef CCLASS_H
#define CCLASS_H

#include "CMemory.h"
#include "EngineTypes.h"

// Root of the engine's classes: a virtual destructor and the 32-bit key of
// the object's class (the CStringToKey hash of the class name).
class CClass {
public:
    static constexpr uint32_t kClassKey = 0x0275A643;

    CClass() : m_classKey(kClassKey) {}
    explicit CClass(uint32_t classKey) : m_classKey(classKey) {}
    virtual ~CClass() = default;

    CClass(const CClass&) = default;
    CClass& operator=(const CClass&) = default;

    uint32_t GetClassKey() const { return m_classKey; }
    void SetClassKey(uint32_t classKey) { m_classKey = classKey; }

    // Engine objects live on the engine heap. A failed allocation yields null
    // and skips the constructor, so `new` never throws.
    static void* operator new(size_t bytes) noexcept { return MemAlloc(bytes); }
    static void operator delete(void* block) noexcept { MemFree(block); }
    static void* operator new[](size_t bytes) noexcept { return MemAllocArray(bytes); }
    static void operator delete[](void* block) noexcept { MemFreeArray(block); }
    static void* operator new(size_t, void* place) noexcept { return place; }
    static void operator delete(void*, void*) noexcept {}

private:
    uint32_t m_classKey;
};

#endif
