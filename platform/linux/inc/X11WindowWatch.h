#ifndef X11WINDOWWATCH_H
#define X11WINDOWWATCH_H

struct SDL_Window;

// Notices when another X client destroys the window SDL shows. Every later
// request on it fails, and X's default answer to a failed request is to end
// the program with status 1; the watch takes the failures that name the
// window as the window being gone, which the backend treats as a close.
// Failures about anything else go on to the handler that was there before.
// One window at a time: X has one error handler per process.
class X11WindowWatch {
public:
    // Installs the watch's error handler, watching nothing yet. Called
    // before SDL's video starts: SDL's own handler hands every failure on to
    // the one it found, and puts that one back while it closes its
    // connections, when the last failures about a lost window arrive.
    static void Install();
    // Watches `window`'s X window; nothing when SDL does not show it on X.
    static void Watch(SDL_Window* window);
    // True once a request on the watched window failed.
    static bool IsLost();
};

#endif
