#include "HostFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <new>

namespace {
HostFile::FaultHook g_faultHook = nullptr;
// Atomic: nothing keeps files to one thread.
std::atomic<uint64_t> g_reads{0};
std::atomic<uint64_t> g_seeks{0};
std::atomic<uint64_t> g_others{0};

// Closes what open() gave and fails with `why`.
int Refuse(int descriptor, int why, int* error) {
    *error = why;
    HostFile::Count(HostFile::Call::Other);
    close(descriptor);
    return -1;
}
}  // namespace

// CloseHandle closes first and reports; here the descriptor is only given
// back, of an object nobody closed.
HostFile::~HostFile() { static_cast<void>(Close()); }

bool HostFile::Close() {
    if (m_descriptor < 0) return true;
    const bool failing = ShouldFail(Op::Close, m_path);
    Count(Call::Other);
    // Not retried on EINTR: the descriptor is gone either way on this host.
    const bool closed = close(m_descriptor) == 0;
    m_descriptor = -1;
    return closed && !failing;
}

bool HostFile::Read(uint8_t* dst, uint32_t count, uint32_t* moved) {
    uint32_t done = 0;
    bool ok = true;
    while (done < count) {
        if (Buffered()) {
            done += TakeFromBuffer(dst + done, count - done);
            continue;
        }
        // A read as large as the buffer gains nothing from it.
        if (count - done >= kReadBufferBytes) {
            const int64_t n = ReadAt(dst + done, count - done);
            ok = n >= 0;
            if (n <= 0) break;
            m_position += n;
            done += static_cast<uint32_t>(n);
            continue;
        }
        ok = Refill();
        if (!ok || m_bufferFill == 0) break;
    }
    *moved = done;
    return ok;
}

uint32_t HostFile::TakeFromBuffer(uint8_t* dst, uint32_t count) {
    const int64_t left = m_bufferStart + m_bufferFill - m_position;
    const uint32_t n = left < count ? static_cast<uint32_t>(left) : count;
    std::memcpy(dst, m_buffer.get() + (m_position - m_bufferStart), n);
    m_position += n;
    return n;
}

int64_t HostFile::ReadAt(uint8_t* dst, uint32_t count) const {
    for (;;) {
        Count(Call::Read);
        const ssize_t n = pread(m_descriptor, dst, count, m_position);
        if (n >= 0 || errno != EINTR) return n;
    }
}

bool HostFile::Refill() {
    m_bufferFill = 0;
    if (m_buffer == nullptr) {
        m_buffer.reset(new (std::nothrow) uint8_t[kReadBufferBytes]);
        if (m_buffer == nullptr) return false;
    }
    const int64_t n = ReadAt(m_buffer.get(), kReadBufferBytes);
    if (n < 0) return false;
    m_bufferStart = m_position;
    m_bufferFill = static_cast<uint32_t>(n);
    return true;
}

bool HostFile::Write(const uint8_t* src, uint32_t count, uint32_t* moved) {
    FailWritesBeyondTheSizeLimit();
    // What the buffer held may be overwritten now.
    m_bufferFill = 0;
    uint32_t done = 0;
    bool ok = true;
    while (done < count) {
        Count(Call::Other);
        const ssize_t n = pwrite(m_descriptor, src + done, count - done, m_position);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        m_position += n;
        done += static_cast<uint32_t>(n);
    }
    *moved = done;
    return ok;
}

bool HostFile::Size(int64_t* size) {
    if (m_knownSize >= 0) {
        *size = m_knownSize;
        return true;
    }
    Count(Call::Seek);
    struct stat info;
    if (fstat(m_descriptor, &info) != 0) return false;
    *size = info.st_size;
    if (!m_writable) m_knownSize = info.st_size;
    return true;
}

bool HostFile::Sync() const {
    Count(Call::Other);
    return fsync(m_descriptor) == 0;
}

int HostFile::Duplicate() const {
    Count(Call::Other);
    return fcntl(m_descriptor, F_DUPFD_CLOEXEC, 0);
}

bool HostFile::Names(const std::string& path, int descriptor, int* error) {
    struct stat held;
    struct stat named;
    int failure = 0;
    bool found = false;
    if (ShouldFail(Op::Status, path)) {
        failure = EIO;
    } else if (fstat(descriptor, &held) != 0) {
        failure = errno;
    } else if (lstat(path.c_str(), &named) == 0) {
        found = true;
    } else if (errno != ENOENT && errno != ENOTDIR) {
        // Not merely no file under that name, nor no folder on the way to it.
        failure = errno;
    }
    if (error != nullptr) *error = failure;
    return found && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

int HostFile::OpenRegular(const std::string& path, int flags, mode_t mode, int* error) {
    Count(Call::Other);
    const int descriptor = open(path.c_str(), flags | O_NONBLOCK, mode);
    if (descriptor < 0) {
        *error = errno;
        return -1;
    }
    // The type of what was opened, not of what the path names now.
    Count(Call::Other);
    struct stat info;
    const bool regular = fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode);
    if (!regular) return Refuse(descriptor, kNotRegular, error);
    Count(Call::Other);
    if (fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) return Refuse(descriptor, errno, error);
    return descriptor;
}

bool HostFile::SyncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (ShouldFail(Op::Flush, folder)) return false;
    Count(Call::Other);
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return false;
    Count(Call::Other);
    const bool synced = fsync(descriptor) == 0;
    Count(Call::Other);
    close(descriptor);
    return synced;
}

void HostFile::FailWritesBeyondTheSizeLimit() {
    static const bool ignored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    static_cast<void>(ignored);
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
