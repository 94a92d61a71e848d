#ifndef GAMEOPTIONS_H
#define GAMEOPTIONS_H

#include <cstdint>
#include <string>
#include <vector>

// What the command line asks of the game program.
class GameOptions {
public:
    enum class Backend { Automatic, Sdl, Headless };

    static constexpr int kExitOk = 0;
    static constexpr int kExitFailure = 1;
    static constexpr int kExitUsage = 2;
    static constexpr uint32_t kMaxCount = 0x7FFFFFFF;

    // The arguments after the program's name. False, with the problem in
    // `error`, when they are not understood.
    bool Parse(const std::vector<std::string>& args, std::string* error);

    static const char* HelpText();

    bool WantsHelp() const { return m_help; }
    Backend GetBackend() const { return m_backend; }
    const std::string& GetScriptPath() const { return m_scriptPath; }
    // 0: no limit.
    uint32_t GetFrameLimit() const { return m_frameLimit; }
    // Empty: no screenshots.
    const std::string& GetScreenshotDirectory() const { return m_screenshotDirectory; }
    // 0: the last frame only.
    uint32_t GetScreenshotEvery() const { return m_screenshotEvery; }
    // Empty: the program's own directory.
    const std::string& GetDataDirectory() const { return m_dataDirectory; }

private:
    bool Apply(const std::string& name, const std::string& value, std::string* error);
    // A script without a backend asks for the headless one; with the SDL
    // backend it is refused.
    bool CheckScript(bool backendGiven, std::string* error);

    bool m_help = false;
    Backend m_backend = Backend::Automatic;
    std::string m_scriptPath;
    uint32_t m_frameLimit = 0;
    std::string m_screenshotDirectory;
    uint32_t m_screenshotEvery = 0;
    std::string m_dataDirectory;
};

#endif
