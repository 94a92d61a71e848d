#include "HostFile.h"

#include <unistd.h>

namespace {
HostFile::FaultHook g_faultHook = nullptr;
}

HostFile::~HostFile() {
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
