#include "XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace {

constexpr const char* kProgram = "Xvfb";
constexpr int kStartTimeoutMs = 15000;

}  // namespace

bool XvfbServer::IsInstalled() {
    const char* path = std::getenv("PATH");
    std::stringstream directories(path != nullptr ? path : "/usr/bin:/bin");
    std::string directory;
    while (std::getline(directories, directory, ':')) {
        if (!directory.empty() && ::access((directory + "/" + kProgram).c_str(), X_OK) == 0) return true;
    }
    return false;
}

XvfbServer::~XvfbServer() { Stop(); }

bool XvfbServer::Start(int width, int height, std::string* error) {
    int report[2];
    if (::pipe(report) != 0) {
        *error = "no pipe for the display number";
        return false;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(report[1]);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(report[0]);
        const int quiet = ::open("/dev/null", O_WRONLY);
        if (quiet >= 0) {
            ::dup2(quiet, STDOUT_FILENO);
            ::dup2(quiet, STDERR_FILENO);
        }
        ::execlp(kProgram, kProgram, "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(report[1]);
    const bool started = m_pid > 0 && ReadDisplayNumber(report[0], error);
    ::close(report[0]);
    if (!started) {
        if (error->empty()) *error = "the X server could not be started";
        Stop();
        return false;
    }
    const char* previous = std::getenv("DISPLAY");
    m_hadDisplay = previous != nullptr;
    if (m_hadDisplay) m_previousDisplay = previous;
    ::setenv("DISPLAY", m_display.c_str(), 1);
    return true;
}

bool XvfbServer::ReadDisplayNumber(int fd, std::string* error) {
    std::string number;
    pollfd waiting{fd, POLLIN, 0};
    while (number.empty() || number.back() != '\n') {
        if (::poll(&waiting, 1, kStartTimeoutMs) <= 0) {
            *error = "the X server did not report a display in time";
            return false;
        }
        char c = 0;
        if (::read(fd, &c, 1) != 1) {
            *error = "the X server stopped before it reported a display";
            return false;
        }
        number.push_back(c);
    }
    number.pop_back();
    m_display = ":" + number;
    return true;
}

void XvfbServer::Stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
    }
    m_pid = -1;
    if (m_display.empty()) return;
    if (m_hadDisplay) {
        ::setenv("DISPLAY", m_previousDisplay.c_str(), 1);
    } else {
        ::unsetenv("DISPLAY");
    }
    m_display.clear();
}
