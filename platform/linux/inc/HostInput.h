#ifndef HOSTINPUT_H
#define HOSTINPUT_H

#include <cstdint>

enum class HostMouseButton { Left, Right, Middle };

// What the user does to the handset, as the backends and tests report it,
// turned into the window messages the handset would produce. Keys and the
// stylus go to the active window and are dropped while none is active;
// coordinates are device pixels.
class HostInput {
public:
    // Forgets which buttons are held.
    static void Reset();

    // `repeat` marks an auto-repeat key-down of a held key.
    static void KeyDown(uint32_t virtualKey, bool repeat);
    static void KeyUp(uint32_t virtualKey);
    // A double click gives the double-click message when the window's class
    // asks for them, else a plain button-down.
    static void ButtonDown(HostMouseButton button, int32_t x, int32_t y, bool doubleClick);
    static void ButtonUp(HostMouseButton button, int32_t x, int32_t y);
    static void Move(int32_t x, int32_t y);

    // The device turns between portrait and landscape: the screen size
    // swaps and every window gets WM_SETTINGCHANGE 0x3002.
    static void Rotate();
    // The user switches away from the program and back.
    static void Suspend();
    static void Resume();
    static void ToggleSuspend();
    // A power-state transition with the given state flags, into every
    // queue that asked for power notifications.
    static void PowerEvent(uint32_t flags);
    // The user closes the program's window.
    static void Close();
};

#endif
