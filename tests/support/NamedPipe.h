#ifndef NAMEDPIPE_H
#define NAMEDPIPE_H

#include <cstddef>
#include <functional>
#include <string>

// A named pipe made at a path for the length of a test, to show that code
// which meets one where it expects a file goes on without waiting for a
// writer or a reader that never comes.
class NamedPipe {
public:
    explicit NamedPipe(std::string path);
    ~NamedPipe();

    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    bool Made() const { return m_made; }
    // Runs `work` on a thread of its own; false when it was still waiting
    // after a second. That thread is then left waiting, for as long as the
    // process lives, so that the test can go on to report the failure: the
    // pipe is gone from its path once this object is, and nothing can open
    // its other end any more.
    bool RunsWithoutWaiting(std::function<void()> work) const;
    // The descriptors the process has open, to show that a refused pipe
    // leaves none behind.
    static size_t OpenDescriptors();

private:
    std::string m_path;
    bool m_made;
};

#endif
