#ifndef CBINARY_H
#define CBINARY_H

#include "CClass.h"

class CInputStream;

// An owned block of raw bytes with the resource type key of its content: the
// payload of binary and sound resources.
class CBinary : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x374F8659;

    CBinary() : CClass(kClassKey) {}
    ~CBinary() override;

    CBinary(const CBinary&) = delete;
    CBinary& operator=(const CBinary&) = delete;

    // Takes everything the stream has left. An empty or failing stream
    // leaves the binary empty and answers false.
    bool Load(CInputStream& stream, uint32_t typeKey);
    void Clear();

    const uint8_t* GetData() const { return m_data; }
    uint32_t GetSize() const { return m_size; }
    uint32_t GetTypeKey() const { return m_typeKey; }

protected:
    // For binaries of a more specific class (sounds).
    explicit CBinary(uint32_t classKey) : CClass(classKey) {}

private:
    // The media loader fills a binary with decoded sound.
    friend class CMedia;
    void Adopt(uint8_t* data, uint32_t size, uint32_t typeKey);

    uint8_t* m_data = nullptr;
    uint32_t m_size = 0;
    uint32_t m_typeKey = 0;
};

#endif
