#ifndef TESTAPPLICATION_H
#define TESTAPPLICATION_H

#include "CAppBase.h"
#include "CAppTicker.h"

#include <cstdint>
#include <vector>

class CRegistryItem;

// A ticker whose frame runs the executables, then counts an update, and
// paints on the frozen half, as the game's frame does.
class TestTicker : public CAppTicker {
public:
    void OnTick() override;

    int updates = 0;
    int paints = 0;
};

// The least application the framework needs: singleton table, root registry
// with an event registry, and a ticker. Published while alive.
class TestApplication : public CAppBase {
public:
    TestApplication();
    ~TestApplication() override;

    int32_t Init() override;
    void Shutdown() override;
    void RunFrame() override;
    void HandleEvent(uint32_t id, uint32_t arg1, uint32_t arg2) override;

    TestTicker* Ticker() const;

    struct Event {
        uint32_t id;
        uint32_t arg1;
        uint32_t arg2;
    };
    std::vector<Event> events;

private:
    CRegistryItem* m_eventRegistryItem = nullptr;
};

#endif
