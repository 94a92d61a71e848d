#ifndef CFILEUTIL_H
#define CFILEUTIL_H

#include "EngineTypes.h"

class CStrWChar;

// Path helpers and whole-file reads and writes through the file manager.
// Paths use the file manager's separator.
class CFileUtil {
public:
    // The part of the path before its last separator ("\" itself when that
    // separator is the first character); empty without a separator.
    static void GetDirectory(CStrWChar& out, const WChar* path);
    // The part behind the last separator, or the whole path without one.
    static void GetFileName(CStrWChar& out, const WChar* path);
    // Directory, separator and name (no separator behind an empty
    // directory).
    static void MakeAppPath(CStrWChar& out, const WChar* name);
    static void MakeDataPath(CStrWChar& out, const WChar* name);

    // True when exactly `size` bytes were read; nothing to read is true.
    [[nodiscard]] static bool ReadFile(const WChar* path, void* dst, uint32_t size);
    // Creates or truncates the file; true when all `size` bytes went out.
    // Nothing to write is false.
    [[nodiscard]] static bool WriteFile(const WChar* path, const void* src, uint32_t size);
    // Writes the whole file through a temporary in the same directory (the
    // file manager's CreateSafeWriteTemp), a new file no other process
    // writes, and then puts it in place of the old one in one step, so that
    // the file holds either its old content or the new one at every moment.
    // On failure (a write, the flush or close of the temporary, or the
    // rename) the old file stays and the temporary is removed. Nothing to
    // write deletes the file and is true when no file is left.
    [[nodiscard]] static bool SafeWriteFile(const WChar* path, const void* src, uint32_t size);

    [[nodiscard]] static bool ReadAppFile(const WChar* name, void* dst, uint32_t size);
    [[nodiscard]] static bool ReadDataFile(const WChar* name, void* dst, uint32_t size);
    [[nodiscard]] static bool WriteDataFileDirect(const WChar* name, const void* src, uint32_t size);
    [[nodiscard]] static bool WriteDataFile(const WChar* name, const void* src, uint32_t size);

private:
    // Opens with `mode` and writes all `size` bytes; nothing to write is
    // false.
    [[nodiscard]] static bool WriteWholeFile(const WChar* path, uint32_t mode, const void* src, uint32_t size);
    static WChar Separator();
    static void JoinPath(CStrWChar& out, const WChar* directory, const WChar* name);
};

#endif
