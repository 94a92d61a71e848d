#ifndef CFILEOUTPUTSTREAM_H
#define CFILEOUTPUTSTREAM_H

#include "COutputStream.h"

class ICFile;

// Output stream into a file it creates (or truncates) and owns.
class CFileOutputStream : public COutputStream {
public:
    CFileOutputStream() = default;
    explicit CFileOutputStream(uint32_t swapFlag) : COutputStream(swapFlag) {}
    ~CFileOutputStream() override;

    [[nodiscard]] bool Open(const WChar* path);
    void Close();

    // A write that does not go out whole sets the error flag, which stays
    // set until the next Open.
    void Write(const void* src, uint32_t n) override;

private:
    ICFile* m_file = nullptr;
};

#endif
