#include "HostFile.h"

#include <unistd.h>

#include <atomic>

namespace {
HostFile::FaultHook g_faultHook = nullptr;
// Atomic: nothing keeps files to one thread.
std::atomic<uint64_t> g_reads{0};
std::atomic<uint64_t> g_seeks{0};
std::atomic<uint64_t> g_others{0};
}  // namespace

HostFile::~HostFile() {
    Count(Call::Other);
    close(m_descriptor);
}

HostFile* HostFile::FromHandle(HANDLE handle) {
    return dynamic_cast<HostFile*>(HostHandle::Find(handle));
}

HostFile::FaultHook HostFile::SetFaultHook(FaultHook hook) {
    const FaultHook previous = g_faultHook;
    g_faultHook = hook;
    return previous;
}

bool HostFile::ShouldFail(Op op, const std::string& path) {
    return g_faultHook != nullptr && g_faultHook(op, path);
}

void HostFile::Count(Call call) {
    std::atomic<uint64_t>& counter = call == Call::Read ? g_reads : (call == Call::Seek ? g_seeks : g_others);
    counter.fetch_add(1, std::memory_order_relaxed);
}

HostFile::CallCounts HostFile::Calls() {
    CallCounts counts;
    counts.reads = g_reads.load(std::memory_order_relaxed);
    counts.seeks = g_seeks.load(std::memory_order_relaxed);
    counts.others = g_others.load(std::memory_order_relaxed);
    return counts;
}
