#ifndef CKEYSET_H
#define CKEYSET_H

#include "CClass.h"

class CInputStream;

// A counted list of 32-bit keys, loaded from a key-set resource: u16 count,
// then count u32 keys in the stream's byte order.
class CKeyset : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x37D2E524;

    CKeyset() : CClass(kClassKey) {}
    ~CKeyset() override;

    CKeyset(const CKeyset&) = delete;
    CKeyset& operator=(const CKeyset&) = delete;

    // Releases what the set held first. A stream that runs short leaves the
    // set empty and answers false.
    bool Load(CInputStream& stream);
    uint32_t GetCount() const { return m_count; }
    // 0 when i is out of range.
    uint32_t Get(uint32_t i) const;
    const uint32_t* GetData() const { return m_keys; }
    void Release();

private:
    uint32_t m_count = 0;
    uint32_t* m_keys = nullptr;
};

#endif
