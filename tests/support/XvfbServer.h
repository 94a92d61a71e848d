#ifndef XVFBSERVER_H
#define XVFBSERVER_H

#include <string>
#include <sys/types.h>

// A virtual X display of its own for a test that shows a real window: the
// server picks a free display number and is stopped again when the object
// goes. DISPLAY points at it while it runs.
class XvfbServer {
public:
    // Whether the server program is installed.
    static bool IsInstalled();

    XvfbServer() = default;
    ~XvfbServer();

    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // False, with the reason in `error`, when the server does not come up.
    bool Start(int width, int height, std::string* error);
    const std::string& Display() const { return m_display; }

private:
    // Waits for the display number the server reports once it accepts clients.
    bool ReadDisplayNumber(int fd, std::string* error);
    void Stop();

    pid_t m_pid = -1;
    std::string m_display;
    std::string m_previousDisplay;
    bool m_hadDisplay = false;
};

#endif
