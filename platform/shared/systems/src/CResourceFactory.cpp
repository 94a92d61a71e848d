#include "CResourceFactory.h"

#include "CAppBase.h"

bool CResourceFactory::Create(uint32_t typeKey, CResource** outResource) {
    CAppBase* app = GetApplication();
    *outResource = app != nullptr ? app->CreateResource(typeKey) : nullptr;
    return *outResource != nullptr;
}

CResourceFactory* CResourceFactory::Get() {
    CResourceFactory* factory = static_cast<CResourceFactory*>(CSingleton::GetInstance(kClassKey));
    if (factory == nullptr) factory = new CResourceFactory();
    return factory;
}
