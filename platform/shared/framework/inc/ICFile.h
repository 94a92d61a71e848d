#ifndef ICFILE_H
#define ICFILE_H

#include "CClass.h"

// An open file of the file manager. Offsets and sizes are 32-bit: the
// engine's files are small. Deleting the object closes the file.
class ICFile : public CClass {
public:
    static constexpr uint32_t kClassKey = 0x02D70FA5;

    // Seek origins.
    static constexpr uint32_t kFromStart = 0;
    static constexpr uint32_t kFromCurrent = 1;
    static constexpr uint32_t kFromEnd = 2;

    ICFile() : CClass(kClassKey) {}
    ~ICFile() override = default;

    virtual bool IsOpen() = 0;
    // False when not open or when the position would be invalid; the
    // position is then unchanged.
    [[nodiscard]] virtual bool Seek(int32_t offset, uint32_t origin) = 0;
    // The position, or 0 when not open or unknown.
    virtual uint32_t Tell() = 0;
    // The bytes actually read or written; 0 when not open.
    [[nodiscard]] virtual uint32_t Read(void* dst, uint32_t n) = 0;
    [[nodiscard]] virtual uint32_t Write(const void* src, uint32_t n) = 0;
};

#endif
