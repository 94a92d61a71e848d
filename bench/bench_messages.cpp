// The cost of the message mechanism: one message delivered to eight
// listeners, against calling the same eight handlers directly.

#include "CAppBase.h"
#include "CEvent.h"
#include "CEventListener.h"
#include "CMessage.h"
#include "CRegistry.h"
#include "CRegistryAccelerateHandleQuery.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <vector>

namespace {

constexpr uint32_t kMessageId = 0x12345678;
constexpr int kListeners = 8;
constexpr int kMessages = 1000000;

struct Sink : CClass {
    uint64_t sum = 0;
};

bool Accumulate(CEvent* message, CEventListener* listener) {
    Sink* sink = static_cast<Sink*>(listener->GetOwner());
    sink->sum += static_cast<const CMessage*>(message)->GetParam(0).value;
    return false;
}

// The least application that delivers messages: a root registry holding
// the event registry.
class BenchApplication : public CAppBase {
public:
    BenchApplication() {
        SetApplication(this);
        CreateSingletonTable();
        m_root.SetQueryAccelerator(new CRegistryAccelerateHandleQuery(150, 50, true));
        m_events.SetQueryAccelerator(new CRegistryAccelerateHandleQuery(150, 50, true));
        m_eventsItem = new CRegistryItem(CEvent::kEventRegistryId, &m_events, 0, 0x3FFFFFFF);
        m_root.Register(m_eventsItem);
        SetRegistry(&m_root);
    }
    ~BenchApplication() override {
        for (CEventListener& listener : m_listeners) listener.Unbind();
        m_root.Unregister(m_eventsItem);
        delete m_eventsItem;
        SetRegistry(nullptr);
        SetApplication(nullptr);
    }
    int32_t Init() override { return 0; }
    void Shutdown() override {}
    void RunFrame() override {}
    void HandleEvent(uint32_t, uint32_t, uint32_t) override {}

    void Listen(Sink* sink) {
        for (int i = 0; i < kListeners; ++i) {
            m_listeners[i].Bind(0x80000001u + static_cast<uint32_t>(i), sink, Accumulate);
            CEventListener::Listen(&m_listeners[i], kMessageId, 0x3FFFFFFF);
        }
    }

private:
    CRegistry m_root;
    CRegistry m_events;
    CRegistryItem* m_eventsItem;
    CEventListener m_listeners[kListeners];
};

void BM_Messages(benchmark::State& state) {
    BenchApplication app;
    Sink sink;
    app.Listen(&sink);
    for (auto _ : state) {
        for (int i = 0; i < kMessages; ++i) {
            CMessage message(nullptr, kMessageId, 0, {CMessageParam::Integer(static_cast<uint32_t>(i))});
            message.Execute();
        }
        benchmark::DoNotOptimize(sink.sum);
    }
}

void BM_DirectCalls(benchmark::State& state) {
    uint64_t sum = 0;
    std::vector<std::function<void(uint32_t)>> handlers;
    for (int i = 0; i < kListeners; ++i) handlers.emplace_back([&sum](uint32_t value) { sum += value; });
    for (auto _ : state) {
        for (int i = 0; i < kMessages; ++i) {
            for (auto& handler : handlers) handler(static_cast<uint32_t>(i));
        }
        benchmark::DoNotOptimize(sum);
    }
}

}  // namespace

BENCHMARK(BM_Messages)->Name("Deliver1M/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectCalls)->Name("Deliver1M/reference")->Unit(benchmark::kMillisecond);
