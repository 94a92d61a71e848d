#ifndef HOSTFILE_H
#define HOSTFILE_H

#include "HostHandle.h"

#include <cstdint>
#include <string>

// The host file behind a file HANDLE: an open descriptor, closed with the
// object, and the host path it was opened with.
class HostFile : public HostHandle {
public:
    // The host calls the file stand-in makes, for the fault hook.
    enum class Op { Open, Read, Write, Seek, Flush, Move, Delete };
    // Asked before every call; true makes the call fail as the host would
    // (nothing happens, the call reports failure). For tests.
    typedef bool (*FaultHook)(Op op, const std::string& path);

    HostFile(int descriptor, std::string path, bool writable)
        : m_descriptor(descriptor), m_path(std::move(path)), m_writable(writable) {}
    ~HostFile() override;

    int Descriptor() const { return m_descriptor; }
    const std::string& Path() const { return m_path; }
    // Opened with write access: only such handles have buffers to flush.
    bool IsWritable() const { return m_writable; }

    // The file object of a handle, or null when it is no live file handle.
    static HostFile* FromHandle(HANDLE handle);

    static FaultHook SetFaultHook(FaultHook hook);
    static bool ShouldFail(Op op, const std::string& path);

    // The host system calls the file stand-in made since the start, by
    // kind, for the benchmarks that measure what loading costs.
    enum class Call { Read, Seek, Other };
    struct CallCounts {
        uint64_t reads = 0;
        uint64_t seeks = 0;
        uint64_t others = 0;
    };
    static void Count(Call call);
    static CallCounts Calls();

private:
    int m_descriptor;
    std::string m_path;
    bool m_writable;
};

#endif
