#ifndef CDEMOAPP_H
#define CDEMOAPP_H

#include "CAppBase.h"
#include "DemoState.h"

#include <functional>

class CGraphics2d_Lite;
class CGraphics_WinMobile;
class CRegistryItem;

// The least application that shows the shell working: the services the
// shell and the listeners need, the handset's graphics device and the 2D
// renderer; every frame it paints the demo scene and presents it. It hands
// each engine event to the listeners as the game does, so the device turns
// its window surface with the screen.
class CDemoApp : public CAppBase {
public:
    struct Settings {
        // Frames to paint before the program quits; 0 for no limit.
        uint32_t frameLimit = 0;
        // When set, the program quits after a frame for which it answers true.
        std::function<bool()> inputEnded;
    };

    static Settings& GetSettings();
    static DemoState& GetState();

    ~CDemoApp() override;

    int32_t Init() override;
    void Shutdown() override;
    void RunFrame() override;
    void HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2) override;

    // The ticker's update and paint halves of a frame.
    void Update(int32_t frameMs);
    void Paint();

private:
    bool CreateEventRegistry();
    void DestroyEventRegistry();
    bool OpenGraphics();
    void CloseGraphics();
    void Deliver(uint32_t id, uint32_t arg1, uint32_t arg2);
    static void Remember(uint32_t id, uint32_t arg1, uint32_t arg2);
    void FollowLifeCycle(uint32_t id);
    static bool ShouldQuit();

    CRegistryItem* m_eventRegistryItem = nullptr;
    CGraphics_WinMobile* m_device = nullptr;
    CGraphics2d_Lite* m_renderer = nullptr;
};

#endif
