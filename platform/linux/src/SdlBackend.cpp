#include "SdlBackend.h"

#include "HostClock.h"
#include "HostInput.h"
#include "HostSystemInfo.h"
#include "HostText.h"
#include "HostWindow.h"
#include "HostWindowSystem.h"
#include "WinCeMsgQueue.h"
#include "X11WindowWatch.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <new>

namespace {

// Room left for the desktop's panels and the window's frame.
constexpr int32_t kDesktopMargin = 64;

uint32_t SdlFormatOf(uint32_t format) {
    switch (format) {
        case HostFrame::kR5G6B5:
            return SDL_PIXELFORMAT_RGB565;
        case HostFrame::kX8R8G8B8:
            return SDL_PIXELFORMAT_RGB888;
        case HostFrame::kA8R8G8B8:
        default:
            return SDL_PIXELFORMAT_ARGB8888;
    }
}

bool IsDeviceKey(int32_t sdlKey) { return sdlKey == SDLK_F5 || sdlKey == SDLK_F10 || sdlKey == SDLK_F11; }

void ActOnDevice(int32_t sdlKey) {
    if (sdlKey == SDLK_F5) {
        HostInput::Rotate();
    } else if (sdlKey == SDLK_F10) {
        HostInput::ToggleSuspend();
    } else if (sdlKey == SDLK_F11) {
        HostInput::PowerEvent(POWER_STATE_UNATTENDED);
    }
}

bool MouseButtonOf(uint8_t sdlButton, HostMouseButton* out) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            *out = HostMouseButton::Left;
            return true;
        case SDL_BUTTON_RIGHT:
            *out = HostMouseButton::Right;
            return true;
        case SDL_BUTTON_MIDDLE:
            *out = HostMouseButton::Middle;
            return true;
        default:
            return false;
    }
}

bool IsSet(const char* name) {
    const char* value = SDL_getenv(name);
    return value != nullptr && value[0] != '\0';
}

// A Wayland display named relative to a runtime folder that is not set
// cannot be reached, and trying it says so in words of its own.
bool WaylandReachable() {
    const char* display = SDL_getenv("WAYLAND_DISPLAY");
    return IsSet("WAYLAND_DISPLAY") && (display[0] == '/' || IsSet("XDG_RUNTIME_DIR"));
}

// The drivers of the displays the environment names, for SDL to try alone:
// left to itself it tries every driver, some say why they fail on standard
// error, and it settles for one that shows nothing. Empty where the player
// chose a driver, or no display that can be reached is named.
std::string NamedDisplayDrivers() {
    std::string drivers = WaylandReachable() ? "wayland" : "";
    if (IsSet("DISPLAY")) drivers += drivers.empty() ? "x11" : ",x11";
    return drivers;
}

// Why no window could be opened on the displays the environment names.
std::string NoNamedDisplayAnswers() {
    std::string named;
    int count = 0;
    for (const char* variable : {"WAYLAND_DISPLAY", "DISPLAY"}) {
        if (!IsSet(variable)) continue;
        named += std::string(count++ == 0 ? "" : " nor ") + variable + "=" + SDL_getenv(variable);
    }
    return count > 1 ? "neither " + named + " answers" : named + " does not answer";
}

}  // namespace

SdlBackend* SdlBackend::Create(std::string* error) {
    // Interrupt and termination signals keep their usual effect instead of
    // turning into quit events.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    X11WindowWatch::Install();
    const bool chosen = SDL_getenv("SDL_VIDEODRIVER") != nullptr;
    const std::string drivers = NamedDisplayDrivers();
    if (!chosen && drivers.empty()) {
        *error = NoNamedDisplayAnswers();
        return nullptr;
    }
    if (!chosen) SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *error = chosen ? std::string("SDL video cannot start: ") + SDL_GetError() : NoNamedDisplayAnswers();
        return nullptr;
    }
    SdlBackend* backend = new (std::nothrow) SdlBackend();
    if (backend == nullptr) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        *error = "no memory for the SDL backend";
        return nullptr;
    }
    backend->m_invisibleVideo = ShowsNothing(SDL_GetCurrentVideoDriver());
    return backend;
}

SdlBackend* SdlBackend::CreateOnDisplay(std::string* error) {
    SdlBackend* backend = Create(error);
    if (backend == nullptr || !backend->m_invisibleVideo) return backend;
    // SDL falls back on these drivers by itself when no display answers.
    *error = std::string("SDL's video driver '") + SDL_GetCurrentVideoDriver() + "' shows nothing";
    delete backend;
    return nullptr;
}

bool SdlBackend::ShowsNothing(const char* driver) {
    if (driver == nullptr) return false;
    for (const char* invisible : {"dummy", "offscreen", "evdev"}) {
        if (SDL_strcasecmp(driver, invisible) == 0) return true;
    }
    return false;
}

SdlBackend::~SdlBackend() {
    CloseWindow();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlBackend::Pump(uint32_t timeoutMs) {
    if (!DrainEvents() && timeoutMs != 0) WaitForEvent(timeoutMs);
    // A window another client destroyed is closed as if by its close
    // button; X reports it while the events are read.
    if (X11WindowWatch::IsLost()) PostClose();
    return true;
}

void SdlBackend::WaitForEvent(uint32_t timeoutMs) {
    SDL_Event event;
    bool received = false;
    if (timeoutMs == kForever) {
        received = SDL_WaitEvent(&event) != 0;
    } else if (!HostClock::IsVirtual()) {
        received = SDL_WaitEventTimeout(&event, static_cast<int>(std::min<uint32_t>(timeoutMs, INT_MAX))) != 0;
    }
    if (received) {
        Handle(event);
        DrainEvents();
    }
}

bool SdlBackend::DrainEvents() {
    bool any = false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        Handle(event);
        any = true;
    }
    return any;
}

void SdlBackend::Handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            HandleKey(event);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            HandleMouseButton(event);
            break;
        case SDL_MOUSEMOTION:
            HandleMouseMotion(event);
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event);
            break;
        case SDL_QUIT:
            PostClose();
            break;
        default:
            break;
    }
}

void SdlBackend::HandleKey(const SDL_Event& event) {
    const int32_t sdlKey = event.key.keysym.sym;
    const bool down = event.type == SDL_KEYDOWN;
    if (IsDeviceKey(sdlKey)) {
        if (down && event.key.repeat == 0) ActOnDevice(sdlKey);
        return;
    }
    const uint32_t virtualKey = VirtualKeyOf(sdlKey);
    if (virtualKey == 0) return;
    if (down) {
        HostInput::KeyDown(virtualKey, event.key.repeat != 0);
    } else {
        HostInput::KeyUp(virtualKey);
    }
}

void SdlBackend::HandleMouseButton(const SDL_Event& event) {
    HostMouseButton button = HostMouseButton::Left;
    if (!MouseButtonOf(event.button.button, &button)) return;
    int32_t x = 0;
    int32_t y = 0;
    const bool inside = DevicePointOf(event.button.x, event.button.y, &x, &y);
    if (event.type == SDL_MOUSEBUTTONUP) {
        HostInput::ButtonUp(button, x, y);
    } else if (inside) {
        HostInput::ButtonDown(button, x, y, event.button.clicks == 2);
    }
}

void SdlBackend::HandleMouseMotion(const SDL_Event& event) {
    int32_t x = 0;
    int32_t y = 0;
    const bool inside = DevicePointOf(event.motion.x, event.motion.y, &x, &y);
    if (inside || event.motion.state != 0) HostInput::Move(x, y);
}

void SdlBackend::HandleWindowEvent(const SDL_Event& event) {
    switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            PostClose();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            HostInput::Resume();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            HostInput::Suspend();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_EXPOSED:
            Redraw();
            break;
        default:
            break;
    }
}

void SdlBackend::PostClose() {
    // The close button is followed by SDL's quit event: one close is enough.
    if (m_closePosted) return;
    m_closePosted = true;
    HostInput::Close();
}

uint32_t SdlBackend::VirtualKeyOf(int32_t sdlKey) {
    if (sdlKey >= SDLK_a && sdlKey <= SDLK_z) return 'A' + static_cast<uint32_t>(sdlKey - SDLK_a);
    if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9) return '0' + static_cast<uint32_t>(sdlKey - SDLK_0);
    if (sdlKey >= SDLK_KP_1 && sdlKey <= SDLK_KP_9) return '1' + static_cast<uint32_t>(sdlKey - SDLK_KP_1);
    if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) return VK_F1 + static_cast<uint32_t>(sdlKey - SDLK_F1);
    if (sdlKey >= SDLK_F13 && sdlKey <= SDLK_F24) return VK_F1 + 12 + static_cast<uint32_t>(sdlKey - SDLK_F13);
    switch (sdlKey) {
        case SDLK_KP_0:
            return '0';
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_SPACE:
            return VK_SPACE;
        default:
            return 0;
    }
}

void SdlBackend::OnWindowShown(HWND window) {
    if (m_window == nullptr) OpenWindow(window);
}

void SdlBackend::OnWindowDestroyed(HWND window) {
    if (window == m_shownWindow) CloseWindow();
}

void SdlBackend::OnScreenSizeChanged(int32_t width, int32_t height) {
    if (m_window == nullptr) return;
    int32_t windowWidth = width;
    int32_t windowHeight = height;
    FittedSize(width, height, &windowWidth, &windowHeight);
    SDL_SetWindowSize(m_window, windowWidth, windowHeight);
    Redraw();
}

void SdlBackend::ShowMessage(const std::string& caption, const std::string& text) {
    if (m_invisibleVideo) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), m_window);
}

uint32_t SdlBackend::WindowId() const { return m_window == nullptr ? 0 : SDL_GetWindowID(m_window); }

bool SdlBackend::DevicePointOf(int32_t windowX, int32_t windowY, int32_t* deviceX, int32_t* deviceY) const {
    const int32_t screenWidth = HostSystemInfo::ScreenWidth();
    const int32_t screenHeight = HostSystemInfo::ScreenHeight();
    int32_t windowWidth = screenWidth;
    int32_t windowHeight = screenHeight;
    if (m_window != nullptr) SDL_GetWindowSize(m_window, &windowWidth, &windowHeight);
    const Area area = Letterbox(windowWidth, windowHeight, screenWidth, screenHeight);
    if (area.width <= 0 || area.height <= 0 || screenWidth <= 0 || screenHeight <= 0) return false;
    const int64_t x = (static_cast<int64_t>(windowX) - area.x) * screenWidth / area.width;
    const int64_t y = (static_cast<int64_t>(windowY) - area.y) * screenHeight / area.height;
    const bool inside = windowX >= area.x && windowX < area.x + area.width && windowY >= area.y &&
                        windowY < area.y + area.height;
    *deviceX = static_cast<int32_t>(std::clamp<int64_t>(x, 0, screenWidth - 1));
    *deviceY = static_cast<int32_t>(std::clamp<int64_t>(y, 0, screenHeight - 1));
    return inside;
}

bool SdlBackend::OpenWindow(HWND window) {
    const HostWindow* shown = HostWindowSystem::Find(window);
    const std::string title = shown == nullptr ? std::string() : HostTextToUtf8(shown->Title().c_str());
    int32_t width = 0;
    int32_t height = 0;
    FittedSize(HostSystemInfo::ScreenWidth(), HostSystemInfo::ScreenHeight(), &width, &height);
    m_window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                SDL_WINDOW_RESIZABLE);
    if (m_window == nullptr) {
        SDL_Log("The handset's window cannot open: %s", SDL_GetError());
        return false;
    }
    m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (m_renderer == nullptr) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    m_shownWindow = window;
    X11WindowWatch::Watch(m_window);
    Redraw();
    return true;
}

void SdlBackend::CloseWindow() {
    if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
    if (m_renderer != nullptr) SDL_DestroyRenderer(m_renderer);
    if (m_window != nullptr) SDL_DestroyWindow(m_window);
    m_texture = nullptr;
    m_renderer = nullptr;
    m_window = nullptr;
    m_shownWindow = nullptr;
}

void SdlBackend::FittedSize(int32_t width, int32_t height, int32_t* outWidth, int32_t* outHeight) const {
    *outWidth = width;
    *outHeight = height;
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || width <= 0 || height <= 0) return;
    const double room = std::min(static_cast<double>(usable.w - kDesktopMargin) / width,
                                 static_cast<double>(usable.h - kDesktopMargin) / height);
    if (room >= 1.0 || room <= 0.0) return;
    *outWidth = std::max(1, static_cast<int32_t>(width * room));
    *outHeight = std::max(1, static_cast<int32_t>(height * room));
}

SdlBackend::Area SdlBackend::Letterbox(int32_t outerWidth, int32_t outerHeight, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return Area{0, 0, 0, 0};
    int64_t fittedWidth = outerWidth;
    int64_t fittedHeight = static_cast<int64_t>(outerWidth) * height / width;
    if (fittedHeight > outerHeight) {
        fittedHeight = outerHeight;
        fittedWidth = static_cast<int64_t>(outerHeight) * width / height;
    }
    const int32_t areaWidth = static_cast<int32_t>(fittedWidth);
    const int32_t areaHeight = static_cast<int32_t>(fittedHeight);
    return Area{(outerWidth - areaWidth) / 2, (outerHeight - areaHeight) / 2, areaWidth, areaHeight};
}

bool SdlBackend::PresentFrame(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format) {
    if (!m_frame.Assign(pixels, width, height, pitch, format)) return false;
    UploadFrame();
    Redraw();
    return true;
}

bool SdlBackend::UploadFrame() {
    if (m_renderer == nullptr || m_frame.IsEmpty()) return false;
    const bool sameShape = m_texture != nullptr && m_textureWidth == m_frame.Width() &&
                           m_textureHeight == m_frame.Height() && m_textureFormat == m_frame.Format();
    if (!sameShape) {
        if (m_texture != nullptr) SDL_DestroyTexture(m_texture);
        m_texture = SDL_CreateTexture(m_renderer, SdlFormatOf(m_frame.Format()), SDL_TEXTUREACCESS_STREAMING,
                                      m_frame.Width(), m_frame.Height());
        m_textureWidth = m_frame.Width();
        m_textureHeight = m_frame.Height();
        m_textureFormat = m_frame.Format();
    }
    return m_texture != nullptr && SDL_UpdateTexture(m_texture, nullptr, m_frame.Bytes().data(), m_frame.Pitch()) == 0;
}

void SdlBackend::Redraw() {
    if (m_renderer == nullptr || X11WindowWatch::IsLost()) return;
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    int32_t outputWidth = 0;
    int32_t outputHeight = 0;
    if (m_texture != nullptr && SDL_GetRendererOutputSize(m_renderer, &outputWidth, &outputHeight) == 0) {
        const Area area =
            Letterbox(outputWidth, outputHeight, HostSystemInfo::ScreenWidth(), HostSystemInfo::ScreenHeight());
        const SDL_Rect target{area.x, area.y, area.width, area.height};
        SDL_RenderCopy(m_renderer, m_texture, nullptr, &target);
    }
    SDL_RenderPresent(m_renderer);
}
