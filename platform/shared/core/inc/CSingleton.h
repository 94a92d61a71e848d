#ifndef CSINGLETON_H
#define CSINGLETON_H

#include "CClass.h"

class CHash;

// Base of the engine services. Each registers itself under its class key in
// the application's singleton table on construction and leaves it on
// destruction; any code finds it there by that key.
class CSingleton : public CClass {
public:
    explicit CSingleton(uint32_t classKey);
    ~CSingleton() override;

    CSingleton(const CSingleton&) = delete;
    CSingleton& operator=(const CSingleton&) = delete;

    // The registered object of the key, or null.
    static CSingleton* GetInstance(uint32_t classKey);

    // The table is owned by the application base, which publishes it here
    // for its lifetime (null to withdraw it).
    static void SetTable(CHash* table);
    static CHash* GetTable();
};

#endif
