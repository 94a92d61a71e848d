#ifndef CRESOURCESTREAM_H
#define CRESOURCESTREAM_H

#include "CArrayInputStream.h"

class CResource;

// An input stream over the bytes of one raw-data resource, which it holds
// from the resource manager while it reads. Without the resource (no
// manager, no such resource, not raw data) the error flag is set and every
// read yields zeros.
class CResourceStream : public CArrayInputStream {
public:
    explicit CResourceStream(uint32_t resourceId);
    // Gives the resource back if the reader has not.
    ~CResourceStream() override;

    CResourceStream(const CResourceStream&) = delete;
    CResourceStream& operator=(const CResourceStream&) = delete;

    // Gives the resource back; the stream is empty afterwards. Safe to call
    // more than once.
    void ReleaseResource();

    // A big-endian u16 length, then that many bytes, as a zero-terminated
    // text on the engine heap (MemFree) that the caller owns; null when
    // memory runs out.
    void ReadString(char** out);

    uint32_t GetResourceId() const { return m_resourceId; }

private:
    uint32_t m_resourceId;
    CResource* m_resource = nullptr;
};

#endif
