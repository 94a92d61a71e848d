#include "HostPath.h"

#include "HostText.h"

#include <unistd.h>

#include <climits>
#include <cstdint>

namespace {

// Where the escapes of host bytes lie: U+DC00 + byte.
constexpr char32_t kEscapeBase = 0xDC00;
constexpr uint8_t kHostBackslash = 0x5C;

std::string& AppDirectoryOverride() {
    static std::string directory;
    return directory;
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

bool IsContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

// The bytes of the UTF-8 sequence at `at`, with the character in `c`; 0
// when the sequence there is malformed, cut short, overlong, a surrogate or
// beyond U+10FFFF.
size_t Utf8SequenceAt(const std::string& text, size_t at, char32_t* c) {
    const uint8_t lead = static_cast<uint8_t>(text[at]);
    if (lead < 0x80) {
        *c = lead;
        return 1;
    }
    // Continuation bytes and the smallest value for 2-, 3- and 4-byte forms.
    size_t extra = 3;
    char32_t minimum = 0x10000;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        minimum = 0x800;
    } else if ((lead & 0xF8) != 0xF0) {
        return 0;
    }
    char32_t value = lead & (0x3F >> extra);
    for (size_t i = 1; i <= extra; ++i) {
        if (at + i >= text.size() || !IsContinuation(static_cast<uint8_t>(text[at + i]))) return 0;
        value = (value << 6) | (static_cast<uint8_t>(text[at + i]) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || IsSurrogate(value)) return 0;
    *c = value;
    return extra + 1;
}

char16_t EscapeOf(uint8_t byte) {
    return static_cast<char16_t>(kEscapeBase + byte);
}

bool IsEscape(char32_t c) {
    return c == kEscapeBase + kHostBackslash || (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF);
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

std::optional<std::string> HostPath::FromWide(const char16_t* path) {
    std::string out;
    if (path == nullptr) {
        return out;
    }
    for (size_t at = 0; path[at] != 0;) {
        const char32_t c = NextUtf16Character(path, at);
        if (IsEscape(c)) {
            out += static_cast<char>(c - kEscapeBase);
        } else if (IsSurrogate(c)) {
            return std::nullopt;
        } else {
            AppendUtf8(out, c == U'\\' ? U'/' : c);
        }
    }
    return out;
}

std::u16string HostPath::ToWide(const std::string& path) {
    std::u16string out;
    for (size_t at = 0; at < path.size();) {
        char32_t c = 0;
        const size_t length = Utf8SequenceAt(path, at, &c);
        if (length == 0 || c == U'\\') {
            out += EscapeOf(static_cast<uint8_t>(path[at++]));
            continue;
        }
        AppendUtf16(out, c == U'/' ? U'\\' : c);
        at += length;
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
