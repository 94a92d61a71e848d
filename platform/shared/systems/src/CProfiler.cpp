#include "CProfiler.h"

#include "CAppBase.h"
#include "CAppTicker.h"
#include "CAssert.h"
#include "CIdAllocator.h"
#include "CMathFixed.h"
#include "CRuntime.h"
#include "CTimedExecutableRegistry.h"

CProfiler::~CProfiler() { Clear(); }

bool CProfiler::AddProfile(int32_t bucketRequest, CEventCallback callback, const uint32_t* ids,
                           uint32_t blocksPerChunk, bool growable, uint32_t historySize) {
    ASSERT((callback == nullptr) == (ids == nullptr));
    // A profile started again drops the timers and listener of the last one,
    // which the new table would otherwise lose track of.
    Clear();
    if (callback != nullptr && ids != nullptr) {
        m_listener = new CEventListener();
        CIdAllocator* allocator = GetIdAllocator();
        if (m_listener != nullptr && allocator != nullptr) {
            m_listener->Bind(allocator->NextId(), this, callback);
            CEventListener::ListenList(m_listener, ids, kDefaultPriority);
        }
    }
    m_startMs = GetTimeMillis();
    m_period = 0x10000;
    m_rate = 0;
    m_accumulated = 0;
    m_events = 0;
    if (historySize != 0) {
        const size_t bytes = ArrayBytes(historySize, sizeof(HistoryRecord));
        m_history = bytes != 0 ? static_cast<HistoryRecord*>(MemAllocArray(bytes)) : nullptr;
        if (m_history != nullptr) {
            MemSet(m_history, 0, bytes);
            m_historySize = historySize;
        }
    }
    return m_timers.Init(bucketRequest, blocksPerChunk, growable);
}

CTimedExecutableRegistry* CProfiler::GetTimer(uint32_t key, uint32_t a, uint32_t b, uint32_t c,
                                              TimerFactory factory) {
    uintptr_t found = 0;
    if (m_timers.Find(key, &found)) {
        return static_cast<CTimedExecutableRegistry*>(reinterpret_cast<CRegistryItem*>(found)->GetObject());
    }
    CTimedExecutableRegistry* timer = factory != nullptr ? factory(a, b, c) : new CTimedExecutableRegistry(a, b, c, 1000);
    if (timer == nullptr) return nullptr;
    timer->m_owner = this;
    timer->m_parent = m_current;
    CRegistry* home = m_current != nullptr ? static_cast<CRegistry*>(m_current) : this;
    timer->m_depth = m_current != nullptr ? m_current->m_depth + 1 : 0;
    CRegistryItem* item = home->NewItem(key, timer, 0, kDefaultPriority);
    if (item == nullptr || !m_timers.Insert(key, reinterpret_cast<uintptr_t>(item))) {
        delete item;
        delete timer;
        return nullptr;
    }
    home->Register(item);
    RecordHistory(key, timer);
    return timer;
}

void CProfiler::RecordHistory(uint32_t key, CTimedExecutableRegistry* timer) {
    if (m_history == nullptr || m_historySize == 0) return;
    for (uint32_t i = m_historySize - 1; i > 0; --i) m_history[i] = m_history[i - 1];
    m_history[0] = HistoryRecord{key, timer};
}

// Nested timers are registered inside their parents; each is unlinked from
// wherever it lives before anything is deleted.
void CProfiler::DeleteTimers() {
    for (int32_t bucket = 0; bucket < m_timers.GetBucketCount(); ++bucket) {
        for (CHashNode* node = m_timers.GetBucket(bucket); node != nullptr; node = node->next) {
            CRegistryItem* item = reinterpret_cast<CRegistryItem*>(node->value);
            ASSERT(item != nullptr);
            if (item == nullptr) continue;
            CTimedExecutableRegistry* timer = static_cast<CTimedExecutableRegistry*>(item->GetObject());
            CRegistry* home = timer->m_parent != nullptr ? static_cast<CRegistry*>(timer->m_parent) : this;
            home->Unregister(item);
        }
    }
    for (int32_t bucket = 0; bucket < m_timers.GetBucketCount(); ++bucket) {
        for (CHashNode* node = m_timers.GetBucket(bucket); node != nullptr; node = node->next) {
            CRegistryItem* item = reinterpret_cast<CRegistryItem*>(node->value);
            if (item == nullptr) continue;
            delete item->GetObject();
            delete item;
        }
    }
}

void CProfiler::Clear() {
    MemFreeArray(m_history);
    m_history = nullptr;
    m_historySize = 0;
    DeleteTimers();
    m_timers.Destroy();
    m_current = nullptr;
    if (m_listener != nullptr) {
        CEventListener::UnlistenAll(m_listener);
        delete m_listener;
        m_listener = nullptr;
    }
}

void CProfiler::Execute() {
    CAppTicker* ticker = GetAppTicker();
    const bool frozen = ticker != nullptr && ticker->IsTimeHalted();
    if (!frozen) {
        m_accumulated += GetElapsed();
        if (m_accumulated >= m_period) {
            m_rate = FixedDiv(m_events << 16, m_accumulated);
            m_events = 0;
            m_accumulated = 0;
        }
        CExecutableRegistry::Execute();
        return;
    }
    if (m_sampling == 0) return;
    OnSampleFrame();
    if (m_runWhileSampling != 0) CExecutableRegistry::Execute();
}

void CProfiler::SetSampling(bool sampling) {
    CProfiler* active = GetActive();
    if (active != nullptr) active->m_sampling = sampling ? 1 : 0;
}

void CProfiler::SetRunWhileSampling(bool run) {
    CProfiler* active = GetActive();
    if (active != nullptr) active->m_runWhileSampling = run ? 1 : 0;
}

uint32_t CProfiler::GetSamplingMode() {
    const CProfiler* active = GetActive();
    if (active == nullptr || active->m_sampling == 0) return 0;
    return active->m_runWhileSampling != 0 ? 2 : 1;
}
