#ifndef CFILEINPUTSTREAM_H
#define CFILEINPUTSTREAM_H

#include "CInputStream.h"

class ICFile;

// Input stream over a file of the file manager: either one it opened by
// name and owns, or one handed to it that stays with its owner.
class CFileInputStream : public CInputStream {
public:
    CFileInputStream() = default;
    explicit CFileInputStream(uint32_t swapFlag) : CInputStream(swapFlag) {}
    ~CFileInputStream() override;

    // Opens the file for reading and owns it. A missing or empty file fails.
    [[nodiscard]] bool OpenByName(const WChar* path);
    // Reads a borrowed file from its current position on; the file's size
    // is found by seeking to its end and back. False when a seek failed.
    [[nodiscard]] bool OpenOnFile(ICFile* file);
    // Deletes an owned file, forgets a borrowed one.
    void Close();

    uint32_t Available() override;
    void Skip(uint32_t n) override;
    void Read(void* dst, uint32_t n) override;

private:
    ICFile* m_file = nullptr;
    bool m_owned = false;
};

#endif
