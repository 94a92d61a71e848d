#ifndef CRESOURCE_H
#define CRESOURCE_H

#include "CPrioritizedObject.h"

class CInputStream;
class CResourceManager;

// A reference-counted holder of one payload object, created by the
// resource manager for a handle and a type key and loaded from a stream.
class CResource : public CPrioritizedObject {
public:
    static constexpr uint32_t kClassKey = 0x42582483;

    // Results of Create.
    enum Status : int32_t { kFailed = 0, kCreatedEmpty = 1, kFromBigFile = 2, kLoadedFromStream = 3 };

    ~CResource() override;

    CResource(const CResource&) = delete;
    CResource& operator=(const CResource&) = delete;

    // Frees the payload, warning when references remain.
    virtual void FreePayload();
    // Memory taken by the payload in bytes; 0 without one.
    virtual uint32_t GetSize() const = 0;
    virtual CClass* GetObject() const { return m_payload; }
    virtual int32_t Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) = 0;
    virtual void Reset();

    uint32_t GetHandle() const { return m_handle; }
    int32_t GetRefCount() const { return m_refCount; }
    bool IsLoaded() const { return m_loaded != 0; }
    CResourceManager* GetOwner() const { return m_owner; }

    // Kept by the resource manager.
    void SetOwner(CResourceManager* owner) { m_owner = owner; }
    void AddRef() { ++m_refCount; }
    // Drops one reference, not below 0; returns the new count.
    int32_t DropRef();
    void ClearRefs() { m_refCount = 0; }

    static bool IsNameKeyHandle(uint32_t handle) { return (handle & 0x80000000u) != 0; }
    static bool IsRuntimeHandle(uint32_t handle) { return (handle & 0xC0000000u) == 0x40000000u; }
    static uint32_t CountLeadingZeros(uint32_t handle);
    static void LogCreation(const CResource* resource, bool success, int32_t status, const CInputStream* stream);

    // Create, then entry into the application's resource manager; 0 when
    // either fails (the payload is freed).
    int32_t CreateAndAdd(uint32_t handle, CInputStream* stream, uint32_t typeKey);
    static bool IsHigherPriority(const CResource* a, const CResource* b) { return a->GetPriority() < b->GetPriority(); }

    // The class's name as its warning and creation texts show it.
    const char* GetName() const { return m_name; }
    const char* GetLogName() const { return m_logName; }

protected:
    // logName null: the creation log uses the name too.
    CResource(uint32_t classKey, const char* name, const char* logName = nullptr);

    // Loads a payload from the stream; the payload is already constructed.
    typedef bool (*PayloadLoader)(CClass* payload, CInputStream& stream, uint32_t typeKey);

    // The common creation: store the handle, take the payload (null: fail),
    // load it from the stream when there is one, log, and keep the payload
    // only on success.
    int32_t BuildPayload(uint32_t handle, CInputStream* stream, uint32_t typeKey, CClass* payload,
                         PayloadLoader load);
    // Wraps an object made elsewhere; loaded when the object exists.
    void Wrap(CClass* payload, uint32_t handle);

private:
    const char* m_name;
    const char* m_logName;
    uint32_t m_handle = 0;
    uint8_t m_loaded = 0;
    int32_t m_refCount = 0;
    CResourceManager* m_owner = nullptr;
    CClass* m_payload = nullptr;
};

#endif
