#include "GameOptions.h"

namespace {

const char kHelp[] =
    "Usage: mchvx2 [OPTIONS]\n"
    "\n"
    "Runs the game on a desktop window, or headless on a virtual clock with\n"
    "input from a script. The game's data (mchvx2.big, properties.dat,\n"
    "device.conf, softkey.conf) lies beside the program or in --data-dir, where\n"
    "the game also keeps its records.\n"
    "\n"
    "Options:\n"
    "  --backend sdl|headless  Where the screen and input live: a desktop window,\n"
    "                          or nothing but an input script on a virtual clock.\n"
    "                          Default: sdl when a display can be opened, else\n"
    "                          headless.\n"
    "  --script FILE           Timed input for the headless backend (implies\n"
    "                          --backend headless).\n"
    "  --frames N              Stop after presenting N frames (1 to 2147483647).\n"
    "                          Without it a headless run stops once its script has\n"
    "                          been played.\n"
    "  --screenshot DIR        Write presented frames to DIR as PNG files\n"
    "                          (frame-NNNNNN.png): the last frame of the run, and\n"
    "                          with --screenshot-every N every Nth frame. DIR is\n"
    "                          made, with its parents, when missing.\n"
    "  --screenshot-every N    With --screenshot: a file every N frames.\n"
    "  --data-dir DIR          Read the game's data from DIR and keep its records\n"
    "                          there, instead of the program's directory.\n"
    "  -h, --help              Show this text.\n"
    "\n"
    "Exit status: 0 done, 1 failed (the reason on standard error), 2 bad usage.\n";

bool ParseCount(const std::string& text, uint32_t* out) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value == 0 || value > GameOptions::kMaxCount) return false;
    *out = static_cast<uint32_t>(value);
    return true;
}

bool IsOption(const std::string& name) {
    return name == "--backend" || name == "--script" || name == "--frames" || name == "--screenshot" ||
           name == "--screenshot-every" || name == "--data-dir";
}

}  // namespace

const char* GameOptions::HelpText() { return kHelp; }

bool GameOptions::Parse(const std::vector<std::string>& args, std::string* error) {
    bool backendGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            m_help = true;
            continue;
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (!IsOption(name)) {
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
    if (m_screenshotEvery != 0 && m_screenshotDirectory.empty()) {
        *error = "--screenshot-every needs --screenshot";
        return false;
    }
    return CheckScript(backendGiven, error);
}

bool GameOptions::CheckScript(bool backendGiven, std::string* error) {
    if (m_scriptPath.empty()) return true;
    if (m_backend == Backend::Sdl) {
        *error = "--script needs the headless backend";
        return false;
    }
    if (!backendGiven) m_backend = Backend::Headless;
    return true;
}

bool GameOptions::Apply(const std::string& name, const std::string& value, std::string* error) {
    if (name == "--backend") {
        if (value != "sdl" && value != "headless") {
            *error = "unknown backend '" + value + "' (sdl or headless)";
            return false;
        }
        m_backend = value == "sdl" ? Backend::Sdl : Backend::Headless;
    } else if (name == "--script") {
        m_scriptPath = value;
    } else if (name == "--screenshot") {
        m_screenshotDirectory = value;
    } else if (name == "--data-dir") {
        m_dataDirectory = value;
    } else if (!ParseCount(value, name == "--frames" ? &m_frameLimit : &m_screenshotEvery)) {
        *error = name + " takes a whole number from 1 to 2147483647, not '" + value + "'";
        return false;
    }
    return true;
}
