#ifndef DISPLAYTESTSUPPORT_H
#define DISPLAYTESTSUPPORT_H

// The handset's graphics device on the stand-in display: a test
// application (singleton table and event registry), a headless backend
// that keeps the presented frame, and the platform graphics object, not yet
// opened.

#include <gtest/gtest.h>

#include <cstdint>

#include "CGraphics_DDraw.h"
#include "CGraphics_WinMobile.h"
#include "CRenderSurface_DDraw_Window_WinMobile.h"
#include "HeadlessBackend.h"
#include "HostTestEnvironment.h"
#include "TestApplication.h"

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Screen size and display format of the stand-in, then Open.
    bool OpenDisplay(int32_t width, int32_t height, uint32_t format);

    CGraphics_DDraw* Driver() const;
    CRenderSurface_DDraw_Window_WinMobile* Window() const;
    uint32_t FramesPresented() const { return m_backend->FramesPresented(); }
    const HostFrame& LastFrame() const { return m_backend->LastFrame(); }

    // The engine event as the application hands it to the listeners.
    static void Deliver(uint32_t eventId);
    // The device turns; the application delivers what the shell queues.
    static void Rotate();
    // Listeners registered for an event id.
    static int32_t ListenersOf(uint32_t eventId);

    // One pixel of the window's back buffer, read through the driver.
    uint32_t BackBufferPixel(uint32_t x, uint32_t y) const;

    HostTestEnvironment m_environment;
    TestApplication m_app;
    HeadlessBackend* m_backend = nullptr;
    CGraphics_WinMobile* m_device = nullptr;
};

#endif
