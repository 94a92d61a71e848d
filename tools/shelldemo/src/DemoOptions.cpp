#include "DemoOptions.h"

namespace {

const char kHelp[] =
    "Usage: shelldemo [OPTIONS]\n"
    "\n"
    "Runs the application shell with a small demo application: the handset's\n"
    "screen shows a moving rectangle, a few lines, a cross-hair at the last stylus\n"
    "point and the engine code of the last key pressed.\n"
    "\n"
    "Options:\n"
    "  --backend sdl|headless  Where the screen and input live: a desktop window,\n"
    "                          or nothing but an input script on a virtual clock.\n"
    "                          Default: sdl when a display can be opened, else\n"
    "                          headless.\n"
    "  --script FILE           Timed input for the headless backend (implies\n"
    "                          --backend headless).\n"
    "  --frames N              Stop after painting N frames (1 to 2147483647).\n"
    "                          Without it a headless run stops once its script has\n"
    "                          been played.\n"
    "  -h, --help              Show this text.\n"
    "\n"
    "Exit status: 0 done, 1 failed, 2 bad usage.\n";

bool ParseCount(const std::string& text, uint32_t* out) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value == 0 || value > DemoOptions::kMaxFrames) return false;
    *out = static_cast<uint32_t>(value);
    return true;
}

}  // namespace

const char* DemoOptions::HelpText() { return kHelp; }

bool DemoOptions::Parse(const std::vector<std::string>& args, std::string* error) {
    bool backendGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            m_help = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (name != "--backend" && name != "--script" && name != "--frames") {
            *error = (arg.rfind("-", 0) == 0 ? "unknown option '" + name : "unexpected argument '" + arg) + "'";
            return false;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        }
        if (value.empty()) {
            *error = "option '" + name + "' needs a value";
            return false;
        }
        if (!Apply(name, value, error)) return false;
        backendGiven = backendGiven || name == "--backend";
    }
    return CheckScript(backendGiven, error);
}

bool DemoOptions::CheckScript(bool backendGiven, std::string* error) {
    if (m_scriptPath.empty()) return true;
    if (m_backend == Backend::Sdl) {
        *error = "--script needs the headless backend";
        return false;
    }
    if (!backendGiven) m_backend = Backend::Headless;
    return true;
}

bool DemoOptions::Apply(const std::string& name, const std::string& value, std::string* error) {
    if (name == "--backend") {
        if (value != "sdl" && value != "headless") {
            *error = "unknown backend '" + value + "' (sdl or headless)";
            return false;
        }
        m_backend = value == "sdl" ? Backend::Sdl : Backend::Headless;
    } else if (name == "--script") {
        m_scriptPath = value;
    } else if (!ParseCount(value, &m_frameLimit)) {
        *error = "--frames takes a whole number from 1 to 2147483647, not '" + value + "'";
        return false;
    }
    return true;
}
