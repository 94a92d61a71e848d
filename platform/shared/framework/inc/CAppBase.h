#ifndef CAPPBASE_H
#define CAPPBASE_H

#include "CClass.h"

class CAppTicker;
class CExecutableRegistry;
class CHash;
class CIdAllocator;
class CRegistry;
class CResource;
class CResourceManager;

// One entry of a device's key table: a device key code and the engine key
// it stands for.
struct DeviceKeyMapping {
    uint16_t deviceKey;
    uint16_t engineKey;
};

// The engine's application object: owns the ticker, the root registry and
// the resource manager, holds the singleton table and caches services. The
// game's application derives from it.
class CAppBase : public CClass {
public:
    CAppBase() = default;
    ~CAppBase() override;

    CAppBase(const CAppBase&) = delete;
    CAppBase& operator=(const CAppBase&) = delete;

    // 0 on success.
    virtual int32_t Init() = 0;
    virtual void Shutdown() = 0;
    virtual void RunFrame() = 0;
    virtual void HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2) = 0;

    // Lets the application register its per-frame registries in the
    // ticker's registry and take them out again.
    virtual bool CreateRegistries(CExecutableRegistry* tickerRegistry);
    virtual void DestroyRegistries(CExecutableRegistry* tickerRegistry);

    // A new, empty resource object of the class mapped to the type key;
    // null for a key the application does not serve.
    virtual CResource* CreateResource(uint32_t typeKey);

    // Whether the listeners of a message id want an id index, and its size.
    virtual bool GetEventRegistryParams(uint32_t id, int32_t* bucketRequest, uint32_t* blocksPerChunk);

    // Device settings the application shell reads. The key table remaps
    // device key codes to engine keys ahead of the shell's own table (null
    // and 0 entries by default); with the number pad disabled the digit keys
    // give no engine key; with the direct display in use the shell claims
    // the display while the program runs (on by default).
    virtual const DeviceKeyMapping* GetDeviceKeyTable(int32_t* outCount) const;
    virtual bool IsNumpadDisabled() const;
    virtual bool UsesGXDisplay() const;

    // Creates the singleton table (first, before any service) and publishes
    // it to CSingleton. False when memory runs out.
    bool CreateSingletonTable();
    CHash* GetSingletonTable() const { return m_singletons; }

    CAppTicker* GetTicker() const { return m_ticker; }
    void SetTicker(CAppTicker* ticker) { m_ticker = ticker; }
    CRegistry* GetRegistry() const { return m_registry; }
    void SetRegistry(CRegistry* registry) { m_registry = registry; }
    CResourceManager* GetResourceManager() const { return m_resourceManager; }
    void SetResourceManager(CResourceManager* manager) { m_resourceManager = manager; }
    CIdAllocator* GetIdAllocatorCache() const { return m_idAllocator; }
    void SetIdAllocatorCache(CIdAllocator* allocator) { m_idAllocator = allocator; }

protected:
    // Deletes every singleton and then the table. Singletons may delete one
    // another on the way, so the walk restarts from the first node each time.
    void DestroySingletons();

private:
    CAppTicker* m_ticker = nullptr;
    CRegistry* m_registry = nullptr;
    CResourceManager* m_resourceManager = nullptr;
    CHash* m_singletons = nullptr;
    CIdAllocator* m_idAllocator = nullptr;
};

// The process-wide application object, published by the application shell
// before the application initialises; null before and after.
CAppBase* GetApplication();
CAppBase* GetApp();
void SetApplication(CAppBase* app);

// The application's ticker and root registry; null without an application.
CAppTicker* GetAppTicker();
CRegistry* GetAppRegistry();

#endif
