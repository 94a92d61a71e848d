// The headless input-script parser on arbitrary bytes. A script is either
// refused with a message naming a line, or accepted with events whose times
// never go back and whose arguments lie in their ranges.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "HostInputScript.h"

namespace {

void CheckEvent(const HostInputEvent& event, uint32_t previousTime) {
    typedef HostInputEvent::Kind Kind;
    Check(event.timeMs >= previousTime && event.timeMs <= HostInputScript::kMaxTimeMs);
    switch (event.kind) {
        case Kind::KeyDown:
        case Kind::KeyRepeat:
        case Kind::KeyUp:
        case Kind::KeyPress:
            Check(event.a >= 0x01 && event.a <= 0xFE);
            break;
        case Kind::Tap:
        case Kind::Touch:
        case Kind::Move:
        case Kind::Release:
            Check(event.a <= HostInputScript::kMaxCoordinate && event.b <= HostInputScript::kMaxCoordinate);
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    HostInputScript script;
    std::string error;
    if (!script.Parse(text, &error)) {
        Check(error.rfind("input script", 0) == 0);
        Check(script.Events().empty());
        return 0;
    }
    uint32_t previousTime = 0;
    for (const HostInputEvent& event : script.Events()) {
        CheckEvent(event, previousTime);
        previousTime = event.timeMs;
    }
    return 0;
}
