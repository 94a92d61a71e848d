#include "HostWindowSystem.h"

#include "HostBackend.h"
#include "HostClock.h"
#include "HostInstanceLock.h"
#include "HostSleep.h"
#include "HostWindow.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr uintptr_t kFirstHandle = 0x10000;
constexpr uintptr_t kHandleStep = 0x10;
constexpr uintptr_t kForeignHandle = 0xF0000;
constexpr ATOM kFirstAtom = 0xC000;

struct RegisteredClass {
    std::u16string name;
    WNDCLASSW record;
};

struct State {
    std::vector<RegisteredClass> classes;
    std::vector<std::unique_ptr<HostWindow>> windows;
    uintptr_t nextHandle = kFirstHandle;
    uint64_t nextSequence = 1;
    ATOM nextAtom = kFirstAtom;
    bool quitPosted = false;
    int32_t exitCode = 0;
    bool closeRequested = false;
    HWND active = nullptr;
    HWND lastActive = nullptr;
    std::unique_ptr<HostBackend> backend;
};

State& S() {
    static State state;
    return state;
}

std::u16string Text(const char16_t* text) { return text == nullptr ? std::u16string() : std::u16string(text); }

RegisteredClass* FindClass(const std::u16string& name) {
    for (RegisteredClass& registered : S().classes) {
        if (registered.name == name) return &registered;
    }
    return nullptr;
}

bool Matches(const HostWindow& window, HWND filter) { return filter == nullptr || window.Handle() == filter; }

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{window, message, wParam, lParam, HostClock::Ticks(), POINT{0, 0}};
}

}  // namespace

void HostWindowSystem::Reset() {
    S().windows.clear();
    for (const RegisteredClass& registered : S().classes) HostInstanceLock::Release(registered.name);
    // Everything else starts over, and the old backend is deleted.
    S() = State();
}

void HostWindowSystem::SetBackend(HostBackend* backend) { S().backend.reset(backend); }

HostBackend* HostWindowSystem::GetBackend() { return S().backend.get(); }

bool HostWindowSystem::RegisterClass(const WNDCLASSW& windowClass, ATOM* outAtom) {
    const std::u16string name = Text(windowClass.lpszClassName);
    if (FindClass(name) != nullptr || !HostInstanceLock::Claim(name)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return false;
    }
    // The caller's texts are not kept: the name lives on in `name`.
    S().classes.push_back(RegisteredClass{name, windowClass});
    S().classes.back().record.lpszClassName = nullptr;
    S().classes.back().record.lpszMenuName = nullptr;
    *outAtom = S().nextAtom++;
    return true;
}

bool HostWindowSystem::UnregisterClass(const char16_t* className) {
    const std::u16string name = Text(className);
    if (FindClass(name) == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return false;
    }
    std::vector<HWND> ofClass;
    for (const std::unique_ptr<HostWindow>& window : S().windows) {
        if (window->ClassName() == name) ofClass.push_back(window->Handle());
    }
    for (HWND window : ofClass) DestroyWindow(window);
    std::vector<RegisteredClass>& classes = S().classes;
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (it->name == name) {
            classes.erase(it);
            break;
        }
    }
    HostInstanceLock::Release(name);
    return true;
}

bool HostWindowSystem::IsClassRegistered(const char16_t* className) { return FindClass(Text(className)) != nullptr; }

HWND HostWindowSystem::CreateWindow(const char16_t* className, const char16_t* title, DWORD style, RECT rect) {
    const RegisteredClass* registered = FindClass(Text(className));
    if (registered == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    HWND handle = reinterpret_cast<HWND>(S().nextHandle);
    S().nextHandle += kHandleStep;
    S().windows.push_back(
        std::make_unique<HostWindow>(handle, registered->record, registered->name, Text(title), style, rect));
    if ((style & WS_VISIBLE) != 0) {
        if (S().backend) S().backend->OnWindowShown(handle);
        Activate(handle);
    }
    return handle;
}

bool HostWindowSystem::DestroyWindow(HWND window) {
    HostWindow* target = Find(window);
    if (target == nullptr || target->IsBeingDestroyed()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    target->SetBeingDestroyed();
    Send(window, WM_DESTROY, 0, 0);
    std::vector<std::unique_ptr<HostWindow>>& windows = S().windows;
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        if ((*it)->Handle() == window) {
            windows.erase(it);
            break;
        }
    }
    if (S().active == window) S().active = nullptr;
    if (S().lastActive == window) S().lastActive = nullptr;
    if (S().backend) S().backend->OnWindowDestroyed(window);
    return true;
}

HostWindow* HostWindowSystem::Find(HWND window) {
    for (const std::unique_ptr<HostWindow>& candidate : S().windows) {
        if (candidate->Handle() == window) return candidate.get();
    }
    return nullptr;
}

HWND HostWindowSystem::FindWindow(const char16_t* className, const char16_t* title) {
    const std::u16string name = Text(className);
    for (const std::unique_ptr<HostWindow>& window : S().windows) {
        const bool titleMatches = title == nullptr || window->Title() == title;
        if ((className == nullptr || window->ClassName() == name) && titleMatches) return window->Handle();
    }
    if (className != nullptr && FindClass(name) == nullptr && HostInstanceLock::IsHeldElsewhere(name)) {
        return ForeignWindow();
    }
    return nullptr;
}

HWND HostWindowSystem::ForeignWindow() { return reinterpret_cast<HWND>(kForeignHandle); }

HWND HostWindowSystem::MainWindow() { return S().windows.empty() ? nullptr : S().windows.front()->Handle(); }

bool HostWindowSystem::Show(HWND window, bool visible) {
    HostWindow* target = Find(window);
    if (target == nullptr) return false;
    const bool wasVisible = target->IsVisible();
    target->SetVisible(visible);
    if (visible && !wasVisible) {
        target->Invalidate();
        if (S().backend) S().backend->OnWindowShown(window);
        Activate(window);
    }
    return wasVisible;
}

bool HostWindowSystem::Move(HWND window, const RECT& rect, bool repaint) {
    HostWindow* target = Find(window);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    const RECT old = target->Rect();
    if (old.left == rect.left && old.top == rect.top && old.right == rect.right && old.bottom == rect.bottom) {
        return true;
    }
    target->SetRect(rect);
    if (repaint) target->Invalidate();
    WINDOWPOS position{window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0};
    Send(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    return true;
}

bool HostWindowSystem::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HostWindow* target = Find(window);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    target->Post(MakeMessage(window, message, wParam, lParam), S().nextSequence++);
    return true;
}

LRESULT HostWindowSystem::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HostWindow* target = Find(window);
    if (target == nullptr || target->Proc() == nullptr) return 0;
    return target->Proc()(window, message, wParam, lParam);
}

void HostWindowSystem::Broadcast(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const std::unique_ptr<HostWindow>& window : S().windows) {
        window->Post(MakeMessage(window->Handle(), message, wParam, lParam), S().nextSequence++);
    }
}

void HostWindowSystem::PostQuit(int32_t exitCode) {
    S().quitPosted = true;
    S().exitCode = exitCode;
}

bool HostWindowSystem::GetMessage(MSG* out, HWND filter) {
    for (;;) {
        if (S().backend) S().backend->Pump(0);
        if (TakeNext(out, filter)) return out->message != WM_QUIT;
        WaitForWork(filter);
    }
}

LRESULT HostWindowSystem::Dispatch(const MSG& message) {
    if (message.message == WM_TIMER && message.lParam != 0) {
        TIMERPROC callback = reinterpret_cast<TIMERPROC>(message.lParam);
        callback(message.hwnd, WM_TIMER, message.wParam, HostClock::Ticks());
        return 0;
    }
    return Send(message.hwnd, message.message, message.wParam, message.lParam);
}

bool HostWindowSystem::SetTimer(HWND window, UINT_PTR id, uint32_t intervalMs, TIMERPROC callback) {
    HostWindow* target = Find(window);
    if (target == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    target->SetTimer(id, intervalMs, callback, HostClock::Ticks());
    return true;
}

bool HostWindowSystem::KillTimer(HWND window, UINT_PTR id) {
    HostWindow* target = Find(window);
    if (target == nullptr || !target->KillTimer(id)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

bool HostWindowSystem::Activate(HWND window) {
    if (Find(window) == nullptr) return false;
    const HWND previous = S().active;
    if (previous == window) return true;
    if (previous != nullptr) {
        Post(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
        Post(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    }
    S().active = window;
    S().lastActive = window;
    Post(window, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    Post(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return true;
}

void HostWindowSystem::Deactivate() {
    const HWND previous = S().active;
    if (previous == nullptr) return;
    S().active = nullptr;
    Post(previous, WM_ACTIVATE, WA_INACTIVE, 0);
    Post(previous, WM_KILLFOCUS, 0, 0);
}

void HostWindowSystem::Reactivate() {
    if (S().active == nullptr && S().lastActive != nullptr) Activate(S().lastActive);
}

HWND HostWindowSystem::ActiveWindow() { return S().active; }

void HostWindowSystem::PostToActive(UINT message, WPARAM wParam, LPARAM lParam) {
    if (S().active != nullptr) Post(S().active, message, wParam, lParam);
}

bool HostWindowSystem::TakeNext(MSG* out, HWND filter) {
    if (TakePosted(out, filter)) return true;
    if (S().quitPosted) {
        S().quitPosted = false;
        *out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(S().exitCode), 0);
        return true;
    }
    return TakePaint(out, filter) || TakeTimer(out, filter);
}

bool HostWindowSystem::TakePosted(MSG* out, HWND filter) {
    HostWindow* oldest = nullptr;
    for (const std::unique_ptr<HostWindow>& window : S().windows) {
        if (!Matches(*window, filter) || !window->HasPosted()) continue;
        if (oldest == nullptr || window->OldestSequence() < oldest->OldestSequence()) oldest = window.get();
    }
    if (oldest == nullptr) return false;
    *out = oldest->TakeOldest();
    return true;
}

bool HostWindowSystem::TakePaint(MSG* out, HWND filter) {
    for (const std::unique_ptr<HostWindow>& window : S().windows) {
        if (Matches(*window, filter) && window->IsVisible() && window->NeedsPaint()) {
            *out = MakeMessage(window->Handle(), WM_PAINT, 0, 0);
            return true;
        }
    }
    return false;
}

bool HostWindowSystem::TakeTimer(MSG* out, HWND filter) {
    const uint32_t now = HostClock::Ticks();
    HostWindow* earliest = nullptr;
    uint32_t earliestWait = 0;
    for (const std::unique_ptr<HostWindow>& window : S().windows) {
        uint32_t wait = 0;
        if (!Matches(*window, filter) || !window->NextTimerWait(now, &wait) || wait > 0) continue;
        if (earliest == nullptr || wait < earliestWait) {
            earliest = window.get();
            earliestWait = wait;
        }
    }
    return earliest != nullptr && earliest->TakeDueTimer(now, out);
}

bool HostWindowSystem::NextTimerWait(HWND filter, uint32_t* waitMs) {
    const uint32_t now = HostClock::Ticks();
    bool found = false;
    for (const std::unique_ptr<HostWindow>& window : S().windows) {
        uint32_t wait = 0;
        if (!Matches(*window, filter) || !window->NextTimerWait(now, &wait)) continue;
        if (!found || wait < *waitMs) *waitMs = wait;
        found = true;
    }
    return found;
}

bool HostWindowSystem::HasWork(HWND filter) {
    if (S().quitPosted) return true;
    for (const std::unique_ptr<HostWindow>& window : S().windows) {
        if (Matches(*window, filter) && (window->HasPosted() || (window->IsVisible() && window->NeedsPaint()))) {
            return true;
        }
    }
    return false;
}

void HostWindowSystem::WaitForWork(HWND filter) {
    uint32_t waitMs = 0;
    const bool hasTimer = NextTimerWait(filter, &waitMs);
    const bool inputMayCome = S().backend && S().backend->Pump(hasTimer ? waitMs : HostBackend::kForever);
    if (HasWork(filter)) return;
    if (hasTimer) {
        // The backend may have returned early, or moved the clock itself.
        if (!NextTimerWait(filter, &waitMs) || waitMs == 0) return;
        if (HostClock::IsVirtual()) {
            HostClock::Advance(waitMs);
        } else if (!S().backend) {
            HostSleepMs(waitMs);
        }
        return;
    }
    if (!inputMayCome) NothingLeftToWaitFor();
}

void HostWindowSystem::NothingLeftToWaitFor() {
    // No timer runs and no input can come: the program would wait for
    // ever. Ask its windows to close, and end the loop if that is ignored.
    if (S().closeRequested || S().windows.empty()) {
        std::fprintf(stderr, "Message loop: nothing left to wait for; quitting\n");
        PostQuit(0);
        return;
    }
    std::fprintf(stderr, "Message loop: nothing left to wait for; closing the windows\n");
    S().closeRequested = true;
    Broadcast(WM_CLOSE, 0, 0);
}
