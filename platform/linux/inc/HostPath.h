#ifndef HOSTPATH_H
#define HOSTPATH_H

#include <string>

// The boundary between the engine's paths (UTF-16, "\" between parts) and
// the host's (UTF-8, "/"). The engine's application directory is the
// directory of the executable unless it was set explicitly.
class HostPath {
public:
    // UTF-16 to UTF-8 with every "\" turned into "/". Surrogate pairs are
    // combined; a lone surrogate becomes U+FFFD. Null gives "".
    static std::string FromWide(const char16_t* path);
    // UTF-8 to UTF-16 with every "/" turned into "\". Malformed bytes
    // become U+FFFD.
    static std::u16string ToWide(const std::string& path);

    // Makes `directory` (a host path) the application directory; null or ""
    // goes back to the executable's own directory.
    static void SetAppDirectory(const char* directory);
    // The executable's host path as the engine should see it: the file name
    // of the executable inside the application directory.
    static std::string ModulePath();
};

#endif
