#ifndef HOSTINPUTSCRIPT_H
#define HOSTINPUTSCRIPT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One timed action of an input script.
struct HostInputEvent {
    enum class Kind {
        KeyDown,
        KeyRepeat,
        KeyUp,
        KeyPress,
        Tap,
        Touch,
        Move,
        Release,
        Rotate,
        Suspend,
        Resume,
        Power,
        Close
    };

    uint32_t timeMs;
    Kind kind;
    // The virtual key, the x coordinate or the power flags.
    uint32_t a;
    // The y coordinate.
    uint32_t b;
};

// The input of a headless run: a text file of timed key and stylus events,
// one a line:
//
//   <time> <event> [arguments]      # a comment may follow
//
// <time> is in milliseconds since the message loop first asked for input,
// decimal, never smaller than the line before. Events (case does not
// matter):
//
//   down KEY     the key goes down          repeat KEY   auto-repeat of it
//   up KEY       the key comes up           press KEY    down, then up
//   tap X Y      stylus down and up         touch X Y    stylus down
//   move X Y     stylus moves               release X Y  stylus up
//   rotate       portrait <-> landscape     close        the user closes
//   suspend      the user switches away     resume       and back
//   power FLAGS  a power-state transition with FLAGS (e.g. 0x400000)
//
// KEY is a digit or letter, a name (UP DOWN LEFT RIGHT RETURN ESCAPE BACK
// TAB SPACE F1..F24) or a virtual-key code in hex (0x01 to 0xFE). X and Y
// are device pixels, 0 to 32767. FLAGS is decimal or hex. Lines that are
// empty or start with "#" are skipped.
class HostInputScript {
public:
    static constexpr size_t kMaxBytes = 16u << 20;
    static constexpr size_t kMaxLineLength = 1024;
    static constexpr uint32_t kMaxTimeMs = 0x7FFFFFFF;
    static constexpr uint32_t kMaxCoordinate = 32767;

    // Replaces the events with those of `text`. A malformed line leaves the
    // script empty and gives "input script line N: <what is wrong>".
    bool Parse(const std::string& text, std::string* error);
    // Reads and parses a file; the error names the file when it cannot be
    // read.
    bool Load(const std::string& path, std::string* error);

    const std::vector<HostInputEvent>& Events() const { return m_events; }

    // Carries the event out as input to the handset (see HostInput).
    static void Apply(const HostInputEvent& event);

private:
    std::vector<HostInputEvent> m_events;
};

#endif
