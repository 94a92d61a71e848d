#include "HostInputScript.h"

#include "HostInput.h"
#include "WinCeWindow.h"

#include <fstream>

namespace {

typedef HostInputEvent::Kind Kind;

// What an event takes after its name.
enum class Arguments { None, Key, Point, Flags };

struct EventName {
    const char* name;
    Kind kind;
    Arguments arguments;
};

const EventName kEventNames[] = {
    {"down", Kind::KeyDown, Arguments::Key},      {"repeat", Kind::KeyRepeat, Arguments::Key},
    {"up", Kind::KeyUp, Arguments::Key},          {"press", Kind::KeyPress, Arguments::Key},
    {"tap", Kind::Tap, Arguments::Point},         {"touch", Kind::Touch, Arguments::Point},
    {"move", Kind::Move, Arguments::Point},       {"release", Kind::Release, Arguments::Point},
    {"rotate", Kind::Rotate, Arguments::None},    {"suspend", Kind::Suspend, Arguments::None},
    {"resume", Kind::Resume, Arguments::None},    {"power", Kind::Power, Arguments::Flags},
    {"close", Kind::Close, Arguments::None},
};

struct KeyName {
    const char* name;
    uint32_t virtualKey;
};

const KeyName kKeyNames[] = {
    {"up", VK_UP},         {"down", VK_DOWN},   {"left", VK_LEFT}, {"right", VK_RIGHT}, {"return", VK_RETURN},
    {"escape", VK_ESCAPE}, {"back", VK_BACK},   {"tab", VK_TAB},   {"space", VK_SPACE},
};

std::string Lower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decimal digits only, at most `limit`.
bool ParseDecimal(const std::string& text, uint64_t limit, uint32_t* out) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > limit) return false;
    *out = static_cast<uint32_t>(value);
    return true;
}

// "0x" and one to eight hex digits.
bool ParseHex(const std::string& text, uint32_t* out) {
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return false;
    uint32_t value = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0) return false;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    *out = value;
    return true;
}

bool ParseFlags(const std::string& text, uint32_t* out) {
    return ParseHex(text, out) || ParseDecimal(text, 0xFFFFFFFFu, out);
}

bool ParseKey(const std::string& text, uint32_t* out) {
    if (text.size() == 1) {
        const char c = text[0];
        if (IsDigit(c) || (c >= 'A' && c <= 'Z')) {
            *out = static_cast<uint8_t>(c);
            return true;
        }
        if (c >= 'a' && c <= 'z') {
            *out = static_cast<uint32_t>(c - 'a' + 'A');
            return true;
        }
        return false;
    }
    const std::string lower = Lower(text);
    for (const KeyName& key : kKeyNames) {
        if (lower == key.name) {
            *out = key.virtualKey;
            return true;
        }
    }
    uint32_t number = 0;
    if (lower[0] == 'f' && ParseDecimal(lower.substr(1), 24, &number) && number >= 1) {
        *out = VK_F1 + number - 1;
        return true;
    }
    return ParseHex(text, out) && *out >= 0x01 && *out <= 0xFE;
}

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (char c : line) {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

// The line without its comment and line-end characters; false when it
// holds a control character.
bool CleanLine(std::string line, std::string* out) {
    const size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    for (char c : line) {
        if (static_cast<uint8_t>(c) < 0x20 && c != '\t') return false;
    }
    *out = line;
    return true;
}

class LineParser {
public:
    explicit LineParser(uint32_t previousTime) : m_previousTime(previousTime) {}

    // False with the problem in `problem`; `hasEvent` false for a blank line.
    bool Parse(const std::string& raw, HostInputEvent* event, bool* hasEvent, std::string* problem) {
        *hasEvent = false;
        if (raw.size() > HostInputScript::kMaxLineLength) return Fail(problem, "line longer than 1024 characters");
        std::string line;
        if (!CleanLine(raw, &line)) return Fail(problem, "control character in the line");
        const std::vector<std::string> words = SplitWords(line);
        if (words.empty()) return true;
        if (!ParseDecimal(words[0], HostInputScript::kMaxTimeMs, &event->timeMs)) {
            return Fail(problem, "time '" + words[0] + "' is not a number of milliseconds");
        }
        if (event->timeMs < m_previousTime) {
            return Fail(problem, "time goes back from " + std::to_string(m_previousTime));
        }
        if (words.size() < 2) return Fail(problem, "no event after the time");
        const EventName* name = FindEvent(words[1]);
        if (name == nullptr) return Fail(problem, "unknown event '" + words[1] + "'");
        event->kind = name->kind;
        event->a = 0;
        event->b = 0;
        if (!ParseArguments(*name, words, event, problem)) return false;
        *hasEvent = true;
        return true;
    }

private:
    static bool Fail(std::string* problem, const std::string& text) {
        *problem = text;
        return false;
    }

    static const EventName* FindEvent(const std::string& word) {
        const std::string lower = Lower(word);
        for (const EventName& name : kEventNames) {
            if (lower == name.name) return &name;
        }
        return nullptr;
    }

    static size_t ArgumentCount(Arguments arguments) {
        switch (arguments) {
            case Arguments::Key:
            case Arguments::Flags:
                return 1;
            case Arguments::Point:
                return 2;
            case Arguments::None:
            default:
                return 0;
        }
    }

    static bool ParseArguments(const EventName& name, const std::vector<std::string>& words, HostInputEvent* event,
                               std::string* problem) {
        const size_t expected = ArgumentCount(name.arguments);
        if (words.size() != expected + 2) {
            return Fail(problem, std::string("'") + name.name + "' takes " + std::to_string(expected) +
                                     " argument(s), found " + std::to_string(words.size() - 2));
        }
        switch (name.arguments) {
            case Arguments::Key:
                return ParseKey(words[2], &event->a) || Fail(problem, "unknown key '" + words[2] + "'");
            case Arguments::Flags:
                return ParseFlags(words[2], &event->a) || Fail(problem, "flags '" + words[2] + "' are not a number");
            case Arguments::Point:
                if (!ParseDecimal(words[2], HostInputScript::kMaxCoordinate, &event->a) ||
                    !ParseDecimal(words[3], HostInputScript::kMaxCoordinate, &event->b)) {
                    return Fail(problem, "coordinates must be whole numbers from 0 to 32767");
                }
                return true;
            case Arguments::None:
            default:
                return true;
        }
    }

    uint32_t m_previousTime;
};

}  // namespace

bool HostInputScript::Parse(const std::string& text, std::string* error) {
    m_events.clear();
    if (text.size() > kMaxBytes) {
        *error = "input script is larger than 16 MiB";
        return false;
    }
    std::vector<HostInputEvent> events;
    uint32_t previousTime = 0;
    size_t lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++lineNumber;
        HostInputEvent event{};
        bool hasEvent = false;
        std::string problem;
        if (!LineParser(previousTime).Parse(text.substr(start, end - start), &event, &hasEvent, &problem)) {
            *error = "input script line " + std::to_string(lineNumber) + ": " + problem;
            return false;
        }
        if (hasEvent) {
            events.push_back(event);
            previousTime = event.timeMs;
        }
        start = end + 1;
    }
    m_events.swap(events);
    return true;
}

bool HostInputScript::Load(const std::string& path, std::string* error) {
    m_events.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "input script " + path + " cannot be read";
        return false;
    }
    std::string text;
    char chunk[4096];
    while (in.read(chunk, sizeof(chunk)) || in.gcount() > 0) {
        text.append(chunk, static_cast<size_t>(in.gcount()));
        if (text.size() > kMaxBytes) break;
    }
    // A directory opens like a file and fails at its first read; a failing
    // disk can fail at any later one. Neither is an empty or shorter script.
    if (in.bad()) {
        *error = text.empty() ? "input script " + path + " cannot be read"
                              : "input script " + path + " cannot be read after " + std::to_string(text.size()) +
                                    " bytes";
        return false;
    }
    return Parse(text, error);
}

void HostInputScript::Apply(const HostInputEvent& event) {
    const int32_t x = static_cast<int32_t>(event.a);
    const int32_t y = static_cast<int32_t>(event.b);
    switch (event.kind) {
        case Kind::KeyDown:
            HostInput::KeyDown(event.a, false);
            break;
        case Kind::KeyRepeat:
            HostInput::KeyDown(event.a, true);
            break;
        case Kind::KeyUp:
            HostInput::KeyUp(event.a);
            break;
        case Kind::KeyPress:
            HostInput::KeyDown(event.a, false);
            HostInput::KeyUp(event.a);
            break;
        case Kind::Tap:
            HostInput::ButtonDown(HostMouseButton::Left, x, y, false);
            HostInput::ButtonUp(HostMouseButton::Left, x, y);
            break;
        case Kind::Touch:
            HostInput::ButtonDown(HostMouseButton::Left, x, y, false);
            break;
        case Kind::Move:
            HostInput::Move(x, y);
            break;
        case Kind::Release:
            HostInput::ButtonUp(HostMouseButton::Left, x, y);
            break;
        case Kind::Rotate:
            HostInput::Rotate();
            break;
        case Kind::Suspend:
            HostInput::Suspend();
            break;
        case Kind::Resume:
            HostInput::Resume();
            break;
        case Kind::Power:
            HostInput::PowerEvent(event.a);
            break;
        case Kind::Close:
            HostInput::Close();
            break;
    }
}
