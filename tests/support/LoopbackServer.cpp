#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

bool WaitReadable(int descriptor, int timeoutMs) {
    pollfd polled{descriptor, POLLIN, 0};
    return poll(&polled, 1, timeoutMs) == 1;
}

}  // namespace

LoopbackServer::LoopbackServer(Mode mode) {
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_GE(m_listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    socklen_t length = sizeof(address);
    EXPECT_EQ(getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    m_port = ntohs(address.sin_port);
    if (mode == Mode::Listening) {
        EXPECT_EQ(listen(m_listener, 8), 0);
    }
}

LoopbackServer::~LoopbackServer() {
    CloseClient();
    if (m_listener >= 0) {
        close(m_listener);
    }
}

bool LoopbackServer::Accept(int timeoutMs) {
    CloseClient();
    if (!WaitReadable(m_listener, timeoutMs)) {
        return false;
    }
    m_client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    return m_client >= 0;
}

bool LoopbackServer::SendToClient(const std::vector<uint8_t>& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(m_client, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

std::vector<uint8_t> LoopbackServer::ReceiveFromClient(size_t count, int timeoutMs) {
    std::vector<uint8_t> received;
    uint8_t chunk[4096];
    while (received.size() < count && WaitReadable(m_client, timeoutMs)) {
        const ssize_t n = recv(m_client, chunk, sizeof(chunk), 0);
        if (n <= 0) {
            break;
        }
        received.insert(received.end(), chunk, chunk + n);
    }
    return received;
}

bool LoopbackServer::ClientClosed(int timeoutMs) {
    uint8_t chunk[256];
    while (WaitReadable(m_client, timeoutMs)) {
        const ssize_t n = recv(m_client, chunk, sizeof(chunk), 0);
        if (n <= 0) {
            return true;
        }
    }
    return false;
}

void LoopbackServer::CloseClient(bool reset) {
    if (m_client < 0) {
        return;
    }
    if (reset) {
        const linger abortive{1, 0};
        setsockopt(m_client, SOL_SOCKET, SO_LINGER, &abortive, sizeof(abortive));
    }
    close(m_client);
    m_client = -1;
}
