#ifndef WINMAIN_H
#define WINMAIN_H

#include "EngineTypes.h"
#include "WinCeWindow.h"

// The program's entry: admits one instance, registers the window class and
// runs one applet. 0 when another instance runs (it is brought to the
// front), 1 when the class or the applet cannot be made, else the applet's
// result.
int32_t WinMain(HINSTANCE instance, HINSTANCE previous, WChar* commandLine, int32_t show);

// The window procedure of the program's class: the applet's handling, or
// the default one for what it leaves.
LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Offers a message to the applet's filter: 1 when taken, else 0 (also
// without an applet).
int32_t FilterWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Asks the message loop to end.
void PostQuit();

#endif
