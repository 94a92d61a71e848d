#ifndef HOSTFILE_H
#define HOSTFILE_H

#include "HostHandle.h"

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

// The host file behind a file HANDLE: an open descriptor, closed with the
// object, the host path it was opened with, and the file position, which
// the object keeps itself. Reads go through a read buffer, so that the
// many small reads of a parser cost a system call per buffer, not per read;
// writes go straight to the file and drop what the buffer held.
class HostFile : public HostHandle {
public:
    // The host calls the file stand-in makes, for the fault hook.
    enum class Op { Open, Read, Write, Seek, Flush, Move, Delete, Close, Status };
    // Asked before every call; true makes the call fail as the host would
    // (nothing happens, the call reports failure; a failing Close still
    // gives the descriptor back, as the host's close does). For tests.
    typedef bool (*FaultHook)(Op op, const std::string& path);

    static constexpr uint32_t kReadBufferBytes = 64 * 1024;

    HostFile(int descriptor, std::string path, bool writable)
        : m_descriptor(descriptor), m_path(std::move(path)), m_writable(writable) {}
    ~HostFile() override;

    // Closes the descriptor; false when the host reported an error, which
    // for a file written to means its last bytes may not be on the storage.
    [[nodiscard]] bool Close() override;

    const std::string& Path() const { return m_path; }
    // Opened with write access: only such handles have buffers to flush.
    bool IsWritable() const { return m_writable; }

    // Up to `count` bytes from the position, which advances by *moved. False
    // when the host reported an error (the bytes before it still count); the
    // end of the file is no error.
    [[nodiscard]] bool Read(uint8_t* dst, uint32_t count, uint32_t* moved);
    // `count` bytes at the position, which advances by *moved; false when
    // not all of them got out, beyond the process's file-size limit too.
    [[nodiscard]] bool Write(const uint8_t* src, uint32_t count, uint32_t* moved);
    int64_t Position() const { return m_position; }
    // Any position from 0 on; beyond the end, a write fills the gap with zeros.
    void SetPosition(int64_t position) { m_position = position; }
    // A handle without write access asks the host once: the archive is
    // sized again for every entry opened on it.
    [[nodiscard]] bool Size(int64_t* size);
    [[nodiscard]] bool Sync() const;
    // A second descriptor of the open file (sharing its whole-file lock),
    // which outlives this object's close; -1 on failure.
    [[nodiscard]] int Duplicate() const;

    // Why OpenRegular refused what it found: no errno has this value.
    static constexpr int kNotRegular = -1;
    // Opens `path` with open()'s `flags` and `mode`, but only a regular
    // file: a directory, a device or a named pipe gives -1. On failure
    // *error is open()'s errno or kNotRegular; the caller says what it
    // means to it. A pipe is opened without waiting for its other end,
    // which may never come; the descriptor returned blocks as usual.
    [[nodiscard]] static int OpenRegular(const std::string& path, int flags, mode_t mode, int* error);
    // Whether `path` names the file open as `descriptor` (the same device
    // and inode); a link there names the link. Where it does not, *error
    // (when given) is 0 if it names another file or none, and the error if
    // the file system could not tell (Op::Status fails with EIO).
    [[nodiscard]] static bool Names(const std::string& path, int descriptor, int* error = nullptr);
    // Syncs the folder that holds `path`, so that a file just renamed there
    // is found under its new name after a power loss. False when it fails.
    [[nodiscard]] static bool SyncFolderOf(const std::string& path);
    // A write beyond the process's file-size limit (ulimit -f) raises
    // SIGXFSZ, which ends the process; ignored, the write fails with EFBIG
    // like any other, and its caller reports it. Once is enough for the
    // process: the program asks at its start, and a write here asks anyway.
    static void FailWritesBeyondTheSizeLimit();

    // The file object of a handle, or null when it is no live file handle.
    static HostFile* FromHandle(HANDLE handle);

    static FaultHook SetFaultHook(FaultHook hook);
    static bool ShouldFail(Op op, const std::string& path);

    // The host system calls the file stand-in made since the start, by
    // kind, for the benchmarks that measure what loading costs: reads (read,
    // pread), seeks (lseek, and fstat for a size) and the others (open,
    // close, write, fsync, the file-type check).
    enum class Call { Read, Seek, Other };
    struct CallCounts {
        uint64_t reads = 0;
        uint64_t seeks = 0;
        uint64_t others = 0;
    };
    static void Count(Call call);
    static CallCounts Calls();

private:
    bool Buffered() const { return m_position >= m_bufferStart && m_position < m_bufferStart + m_bufferFill; }
    uint32_t TakeFromBuffer(uint8_t* dst, uint32_t count);
    // Reads at the position into dst; the bytes read, 0 at the end, -1 on an error.
    int64_t ReadAt(uint8_t* dst, uint32_t count) const;
    // Fills the buffer from the position; false on an error.
    bool Refill();

    // -1 once closed.
    int m_descriptor;
    std::string m_path;
    bool m_writable;
    int64_t m_position = 0;
    // -1 until a read-only handle has asked for its size.
    int64_t m_knownSize = -1;
    std::unique_ptr<uint8_t[]> m_buffer;
    // The buffer holds the file's bytes from m_bufferStart on.
    int64_t m_bufferStart = 0;
    uint32_t m_bufferFill = 0;
};

#endif
