#include "HostPath.h"

#include <unistd.h>

#include <climits>
#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::string& AppDirectoryOverride() {
    static std::string directory;
    return directory;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (c >> 10));
    out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
}

bool IsHigh(char16_t unit) {
    return unit >= 0xD800 && unit < 0xDC00;
}
bool IsLow(char16_t unit) {
    return unit >= 0xDC00 && unit < 0xE000;
}
bool IsContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one UTF-8 sequence at `at` and moves past it; shortest forms only.
char32_t DecodeUtf8(const std::string& text, size_t& at) {
    const uint8_t lead = static_cast<uint8_t>(text[at++]);
    if (lead < 0x80) {
        return lead;
    }
    // Continuation bytes and the smallest value for 2-, 3- and 4-byte forms.
    int extra = 3;
    char32_t minimum = 0x10000;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        minimum = 0x800;
    } else if ((lead & 0xF8) != 0xF0) {
        return kReplacement;
    }
    char32_t c = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if (at >= text.size() || !IsContinuation(static_cast<uint8_t>(text[at]))) {
            return kReplacement;
        }
        c = (c << 6) | (static_cast<uint8_t>(text[at++]) & 0x3F);
    }
    const bool surrogate = c >= 0xD800 && c < 0xE000;
    return (c < minimum || c > 0x10FFFF || surrogate) ? kReplacement : c;
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer));
    if (length <= 0 || static_cast<size_t>(length) >= sizeof(buffer)) {
        return std::string();
    }
    return std::string(buffer, static_cast<size_t>(length));
}

}  // namespace

std::string HostPath::FromWide(const char16_t* path) {
    std::string out;
    if (path == nullptr) {
        return out;
    }
    for (size_t i = 0; path[i] != 0; ++i) {
        char32_t c = path[i];
        if (IsHigh(path[i]) && IsLow(path[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (path[i + 1] - 0xDC00);
            ++i;
        } else if (IsHigh(path[i]) || IsLow(path[i])) {
            c = kReplacement;
        } else if (c == u'\\') {
            c = u'/';
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string HostPath::ToWide(const std::string& path) {
    std::u16string out;
    for (size_t at = 0; at < path.size();) {
        const char32_t c = DecodeUtf8(path, at);
        AppendUtf16(out, c == U'/' ? U'\\' : c);
    }
    return out;
}

void HostPath::SetAppDirectory(const char* directory) {
    AppDirectoryOverride() = directory == nullptr ? "" : directory;
}

std::string HostPath::ModulePath() {
    const std::string executable = ExecutablePath();
    const std::string& directory = AppDirectoryOverride();
    if (directory.empty()) {
        return executable;
    }
    const size_t slash = executable.rfind('/');
    const std::string name = slash == std::string::npos ? executable : executable.substr(slash + 1);
    const bool endsWithSlash = directory.back() == '/';
    return endsWithSlash ? directory + name : directory + "/" + name;
}
