#include "CIdAllocator.h"

#include "CAppBase.h"
#include "CStringToKey.h"

CIdAllocator::~CIdAllocator() {
    CAppBase* app = GetApplication();
    if (app != nullptr && app->GetIdAllocatorCache() == this) app->SetIdAllocatorCache(nullptr);
}

uint32_t CIdAllocator::NextId() { return CStringToKey::TagKey(++m_counter, 1); }

CIdAllocator* GetIdAllocator() {
    CAppBase* app = GetApplication();
    if (app == nullptr) return nullptr;
    CIdAllocator* allocator = app->GetIdAllocatorCache();
    if (allocator == nullptr) allocator = static_cast<CIdAllocator*>(CSingleton::GetInstance(CIdAllocator::kClassKey));
    if (allocator == nullptr) allocator = new CIdAllocator();
    app->SetIdAllocatorCache(allocator);
    return allocator;
}
