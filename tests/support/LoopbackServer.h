#ifndef LOOPBACKSERVER_H
#define LOOPBACKSERVER_H

#include <cstddef>
#include <cstdint>
#include <vector>

// A TCP peer on 127.0.0.1 for socket tests, driven from the test's own
// thread: the kernel completes a client's connection in the listening
// socket's backlog, so nothing has to run beside the test. Every wait is
// bounded.
class LoopbackServer {
public:
    // Refusing binds a port without listening on it: connections to it are
    // refused.
    enum class Mode { Listening, Refusing };

    explicit LoopbackServer(Mode mode = Mode::Listening);
    ~LoopbackServer();

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    uint16_t Port() const { return m_port; }

    // Takes the next connection; false when none came within the time.
    bool Accept(int timeoutMs = 5000);
    bool SendToClient(const std::vector<uint8_t>& bytes);
    // Reads until `count` bytes came, the client closed, or the time ran out.
    std::vector<uint8_t> ReceiveFromClient(size_t count, int timeoutMs = 5000);
    // True when the client closed its side within the time.
    bool ClientClosed(int timeoutMs = 5000);
    // Ends the accepted connection: an orderly close, or with `reset` an
    // abortive one that the client sees as a reset.
    void CloseClient(bool reset = false);

private:
    int m_listener = -1;
    int m_client = -1;
    uint16_t m_port = 0;
};

#endif
