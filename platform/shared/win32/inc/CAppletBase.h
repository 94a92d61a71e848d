#ifndef CAPPLETBASE_H
#define CAPPLETBASE_H

#include "CClass.h"
#include "WinCeWindow.h"

// The application shell as the window procedure sees it: runs the program
// and takes the window's messages. One exists at a time; constructing it
// publishes it, destroying it withdraws it.
class CAppletBase : public CClass {
public:
    explicit CAppletBase(HINSTANCE instance);
    ~CAppletBase() override;

    CAppletBase(const CAppletBase&) = delete;
    CAppletBase& operator=(const CAppletBase&) = delete;

    // The exit code of the program.
    virtual int32_t Run() = 0;
    // True when the message was handled (the window procedure then answers
    // 0 without the default handling).
    virtual bool HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // True when the applet takes the message before the window sees it.
    virtual bool FilterMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // The applet's window; null before it is created.
    virtual HWND GetWindowHandle() const = 0;

    HINSTANCE GetInstance() const { return m_instance; }

    // The live applet, or null.
    static CAppletBase* GetCurrent();

private:
    HINSTANCE m_instance;
};

#endif
