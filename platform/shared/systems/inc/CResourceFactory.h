#ifndef CRESOURCEFACTORY_H
#define CRESOURCEFACTORY_H

#include "CSingleton.h"

class CResource;

// The engine's way to the application's resource classes: makes an empty
// resource object of the class the application maps to a type key.
class CResourceFactory : public CSingleton {
public:
    static constexpr uint32_t kClassKey = 0x7451AA08;

    CResourceFactory() : CSingleton(kClassKey) {}

    // False (and null) for a type key the application does not serve.
    virtual bool Create(uint32_t typeKey, CResource** outResource);

    // The registered factory, created on first use.
    static CResourceFactory* Get();
};

#endif
