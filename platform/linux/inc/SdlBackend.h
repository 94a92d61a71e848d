#ifndef SDLBACKEND_H
#define SDLBACKEND_H

#include "HostBackend.h"
#include "HostFrame.h"

#include <cstdint>
#include <string>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

// The handset's screen as a desktop window. The program's first visible
// window becomes a window of the handset's size, scaled down to fit the
// desktop and letterboxed when resized. The keyboard and mouse become the
// handset's keys and stylus at device coordinates; closing the window, and
// losing and regaining focus, become WM_CLOSE and deactivation and
// activation. Three keys act on the device instead of the program:
//   F5  turns it between portrait and landscape,
//   F10 switches away from the program and back (suspend, resume),
//   F11 sends a power-state transition (unattended mode).
class SdlBackend : public HostBackend {
public:
    // Null, with SDL's reason in `error`, when its video cannot start.
    static SdlBackend* Create(std::string* error);
    // As Create, but also null when SDL's video driver shows nothing: a run
    // there would have nothing to see and nothing to press.
    static SdlBackend* CreateOnDisplay(std::string* error);
    // Whether a video driver of SDL only draws into memory (dummy,
    // offscreen, and evdev, the dummy driver with device input).
    static bool ShowsNothing(const char* driver);
    ~SdlBackend() override;

    bool Pump(uint32_t timeoutMs) override;
    bool PresentFrame(const void* pixels, int32_t width, int32_t height, int32_t pitch, uint32_t format) override;
    const HostFrame* KeptFrame() const override { return &m_frame; }
    void OnWindowShown(HWND window) override;
    void OnWindowDestroyed(HWND window) override;
    void OnScreenSizeChanged(int32_t width, int32_t height) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;

    // The desktop window's SDL id; 0 while there is none.
    uint32_t WindowId() const;
    // The device point under a point of the desktop window; false outside
    // the handset's screen.
    bool DevicePointOf(int32_t windowX, int32_t windowY, int32_t* deviceX, int32_t* deviceY) const;

    // The handset's virtual key for an SDL key code; 0 for none.
    static uint32_t VirtualKeyOf(int32_t sdlKey);

private:
    struct Area {
        int32_t x;
        int32_t y;
        int32_t width;
        int32_t height;
    };

    SdlBackend() = default;

    // Turns one SDL event into input.
    void Handle(const SDL_Event& event);
    void HandleKey(const SDL_Event& event);
    void HandleMouseButton(const SDL_Event& event);
    void HandleMouseMotion(const SDL_Event& event);
    void HandleWindowEvent(const SDL_Event& event);
    bool HandleDeviceKey(int32_t sdlKey);
    void PostClose();
    // Handles every pending SDL event; false when there was none.
    bool DrainEvents();
    // Waits up to `timeoutMs` for an event (not on the virtual clock), then
    // handles it and any that came with it.
    void WaitForEvent(uint32_t timeoutMs);

    bool OpenWindow(HWND window);
    void CloseWindow();
    // The window size that shows the screen whole on the desktop.
    void FittedSize(int32_t width, int32_t height, int32_t* outWidth, int32_t* outHeight) const;
    // The largest area of the screen's shape centred in a window.
    static Area Letterbox(int32_t outerWidth, int32_t outerHeight, int32_t width, int32_t height);
    void Redraw();
    bool UploadFrame();

    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int32_t m_textureWidth = 0;
    int32_t m_textureHeight = 0;
    uint32_t m_textureFormat = 0;
    HWND m_shownWindow = nullptr;
    HostFrame m_frame;
    bool m_closePosted = false;
    bool m_invisibleVideo = false;
};

#endif
