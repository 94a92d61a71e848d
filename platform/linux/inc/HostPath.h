#ifndef HOSTPATH_H
#define HOSTPATH_H

#include <optional>
#include <string>

// The boundary between the engine's paths (UTF-16, "\" between parts) and
// the host's (bytes, "/" between parts, mostly UTF-8). The engine's
// application directory is the directory of the executable unless it was set
// explicitly.
//
// A host path comes back from the engine exactly as the host gave it, so
// that every file the program names lies in the one folder the user chose.
// Bytes that are not UTF-8, and the host's "\" (an ordinary character in a
// host name, but the engine's separator), reach the engine as the lone low
// surrogates U+DC00 + byte (U+DC80..U+DCFF and U+DC5C), which valid UTF-8
// never decodes to, and turn back into those bytes on the way out.
class HostPath {
public:
    // UTF-16 to host bytes: surrogate pairs as UTF-8, the engine's "\" as
    // "/", an escaped byte as that byte. Nothing when the path holds any
    // other lone surrogate, which no host name stands behind. Null gives "".
    static std::optional<std::string> FromWide(const char16_t* path);
    // Host bytes to UTF-16: UTF-8 (shortest forms only) decoded, "/" as the
    // engine's "\", and "\" and each byte of a malformed sequence escaped.
    static std::u16string ToWide(const std::string& path);

    // Makes `directory` (a host path) the application directory; null or ""
    // goes back to the executable's own directory.
    static void SetAppDirectory(const char* directory);
    // The executable's host path as the engine should see it: the file name
    // of the executable inside the application directory.
    static std::string ModulePath();
};

#endif
