#include "X11WindowWatch.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <atomic>

namespace {

// X calls its error handler without any context: the state is the process's.
std::atomic<unsigned long> g_watched{0};
std::atomic<bool> g_lost{false};
XErrorHandler g_previous = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    const unsigned long watched = g_watched.load();
    if (watched != 0 && error->resourceid == watched) {
        g_lost.store(true);
        return 0;
    }
    return g_previous != nullptr ? g_previous(display, error) : 0;
}

}  // namespace

void X11WindowWatch::Install() {
    g_watched.store(0);
    g_lost.store(false);
    // Still in place from an earlier start, it keeps what it hands on to.
    const XErrorHandler replaced = XSetErrorHandler(OnXError);
    if (replaced != OnXError) g_previous = replaced;
}

void X11WindowWatch::Watch(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11) {
        return;
    }
    g_watched.store(info.info.x11.window);
    g_lost.store(false);
}

bool X11WindowWatch::IsLost() { return g_lost.load(); }
