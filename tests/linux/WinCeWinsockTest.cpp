#include "HostSocket.h"
#include "WinCeWinsock.h"

#include "LoopbackServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace ws = WinSock;

// A socket value no descriptor of this process will have.
constexpr ws::SOCKET kNoSuchSocket = 1000000;

std::vector<uint8_t> BytesOf(uint32_t networkOrder) {
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &networkOrder, 4);
    return bytes;
}

ws::sockaddr LoopbackAddress(uint16_t port) {
    ws::sockaddr_in target{};
    target.sin_family = ws::AF_INET;
    target.sin_port = ws::htons(port);
    target.sin_addr.s_addr = ws::inet_addr("127.0.0.1");
    ws::sockaddr name{};
    std::memcpy(&name, &target, sizeof(name));
    return name;
}

// Waits up to `ms` for the socket to show in the sets the flags name.
int32_t SelectOne(ws::SOCKET s, ws::fd_set* readSet, ws::fd_set* writeSet, ws::fd_set* exceptSet, int32_t ms) {
    for (ws::fd_set* set : {readSet, writeSet, exceptSet}) {
        if (set != nullptr) {
            FD_ZERO(set);
            FD_SET(s, set);
        }
    }
    const ws::timeval timeout{ms / 1000, (ms % 1000) * 1000};
    return ws::select(0, readSet, writeSet, exceptSet, &timeout);
}

class Winsock : public ::testing::Test {
protected:
    void SetUp() override {
        ws::WSADATA data;
        ASSERT_EQ(ws::WSAStartup(ws::MAKEWORD(2, 2), &data), 0);
    }
    void TearDown() override {
        HostSocket::ClearFaults();
        EXPECT_EQ(ws::WSACleanup(), 0);
    }

    ws::SOCKET NonBlockingSocket() {
        const ws::SOCKET s = ws::socket(ws::AF_INET, ws::SOCK_STREAM, ws::IPPROTO_TCP);
        EXPECT_NE(s, ws::INVALID_SOCKET);
        ws::u_long on = 1;
        EXPECT_EQ(ws::ioctlsocket(s, ws::FIONBIO, &on), 0);
        return s;
    }

    // Starts a connect; true when it completed or is under way.
    static bool Connects(ws::SOCKET s, uint16_t port) {
        const ws::sockaddr name = LoopbackAddress(port);
        return ws::connect(s, &name, sizeof(name)) == 0 || ws::WSAGetLastError() == ws::WSAEWOULDBLOCK;
    }
};

TEST(WinsockStartup, NegotiatesVersionsAndCountsCleanups) {
    EXPECT_EQ(ws::socket(ws::AF_INET, ws::SOCK_STREAM, 0), ws::INVALID_SOCKET);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSANOTINITIALISED);

    ws::WSADATA data;
    EXPECT_EQ(ws::WSAStartup(ws::MAKEWORD(1, 0), &data), ws::WSAVERNOTSUPPORTED);
    EXPECT_EQ(ws::WSAStartup(ws::MAKEWORD(2, 2), nullptr), ws::WSAEFAULT);
    ASSERT_EQ(ws::WSAStartup(ws::MAKEWORD(2, 2), &data), 0);
    EXPECT_EQ(data.wVersion, 0x0202);
    EXPECT_EQ(data.wHighVersion, 0x0202);
    ASSERT_EQ(ws::WSAStartup(ws::MAKEWORD(3, 1), &data), 0);
    EXPECT_EQ(data.wVersion, 0x0202);
    ASSERT_EQ(ws::WSAStartup(ws::MAKEWORD(1, 1), &data), 0);
    EXPECT_EQ(data.wVersion, 0x0101);

    EXPECT_EQ(ws::WSACleanup(), 0);
    EXPECT_EQ(ws::WSACleanup(), 0);
    EXPECT_EQ(ws::WSACleanup(), 0);
    EXPECT_EQ(ws::WSACleanup(), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSANOTINITIALISED);
}

TEST(WinsockFdSet, IsAListOfDistinctSockets) {
    ws::fd_set set;
    FD_ZERO(&set);
    FD_SET(kNoSuchSocket, &set);
    FD_SET(kNoSuchSocket, &set);
    EXPECT_EQ(set.fd_count, 1u);
    EXPECT_TRUE(FD_ISSET(kNoSuchSocket, &set));
    EXPECT_FALSE(FD_ISSET(3, &set));
    for (ws::SOCKET s = 1; s <= 80; ++s) {
        FD_SET(s, &set);
    }
    EXPECT_EQ(set.fd_count, ws::FD_SETSIZE);
    EXPECT_TRUE(FD_ISSET(63, &set));
    EXPECT_FALSE(FD_ISSET(64, &set));
    FD_CLR(kNoSuchSocket, &set);
    EXPECT_FALSE(FD_ISSET(kNoSuchSocket, &set));
    EXPECT_EQ(set.fd_count, ws::FD_SETSIZE - 1);
}

TEST_F(Winsock, AddressesAndLookups) {
    const uint16_t port = ws::htons(0x1234);
    uint8_t portBytes[2];
    std::memcpy(portBytes, &port, 2);
    EXPECT_EQ(portBytes[0], 0x12);
    EXPECT_EQ(portBytes[1], 0x34);

    EXPECT_EQ(BytesOf(ws::inet_addr("127.0.0.1")), std::vector<uint8_t>({127, 0, 0, 1}));
    EXPECT_EQ(BytesOf(ws::inet_addr("10.1.2.3")), std::vector<uint8_t>({10, 1, 2, 3}));
    EXPECT_EQ(ws::inet_addr("not numbers"), ws::INADDR_NONE);
    EXPECT_EQ(ws::inet_addr(nullptr), ws::INADDR_NONE);

    ws::hostent* local = ws::gethostbyname("localhost");
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(local->h_addrtype, ws::AF_INET);
    EXPECT_EQ(local->h_length, 4);
    uint32_t address = 0;
    std::memcpy(&address, local->h_addr_list[0], 4);
    EXPECT_EQ(BytesOf(address), std::vector<uint8_t>({127, 0, 0, 1}));
    EXPECT_EQ(local->h_addr_list[1], nullptr);

    const uint32_t loopback = ws::inet_addr("127.0.0.1");
    ws::hostent* named = ws::gethostbyaddr(reinterpret_cast<const char*>(&loopback), 4, ws::AF_INET);
    ASSERT_NE(named, nullptr);
    EXPECT_GT(std::strlen(named->h_name), 0u);
    EXPECT_EQ(ws::gethostbyaddr(reinterpret_cast<const char*>(&loopback), 16, ws::AF_INET), nullptr);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEFAULT);

    HostSocket::SetFault(HostSocket::Fault::NameLookup, true);
    EXPECT_EQ(ws::gethostbyname("localhost"), nullptr);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAHOST_NOT_FOUND);
}

TEST_F(Winsock, NonBlockingConnectSendAndReceive) {
    LoopbackServer server;
    const ws::SOCKET s = NonBlockingSocket();
    ASSERT_TRUE(Connects(s, server.Port()));
    ws::fd_set writeSet;
    ASSERT_EQ(SelectOne(s, nullptr, &writeSet, nullptr, 5000), 1);
    EXPECT_TRUE(FD_ISSET(s, &writeSet));
    ASSERT_TRUE(server.Accept());

    char buffer[16];
    EXPECT_EQ(ws::recv(s, buffer, sizeof(buffer), 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
    ws::fd_set readSet;
    EXPECT_EQ(SelectOne(s, &readSet, nullptr, nullptr, 0), 0);
    EXPECT_EQ(readSet.fd_count, 0u);

    EXPECT_EQ(ws::send(s, "hello", 5, 0), 5);
    EXPECT_EQ(server.ReceiveFromClient(5), std::vector<uint8_t>({'h', 'e', 'l', 'l', 'o'}));
    ASSERT_TRUE(server.SendToClient({'a', 'b', 'c'}));
    ASSERT_EQ(SelectOne(s, &readSet, nullptr, nullptr, 5000), 1);
    EXPECT_EQ(ws::recv(s, buffer, sizeof(buffer), 0), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");

    // An orderly close of the peer reads as 0 bytes.
    server.CloseClient();
    ASSERT_EQ(SelectOne(s, &readSet, nullptr, nullptr, 5000), 1);
    EXPECT_EQ(ws::recv(s, buffer, sizeof(buffer), 0), 0);
    EXPECT_EQ(ws::shutdown(s, ws::SD_SEND), 0);
    EXPECT_EQ(ws::closesocket(s), 0);
}

TEST_F(Winsock, RefusedConnectShowsInTheExceptSetOnly) {
    LoopbackServer refusing(LoopbackServer::Mode::Refusing);
    const ws::SOCKET s = NonBlockingSocket();
    const ws::sockaddr name = LoopbackAddress(refusing.Port());
    if (ws::connect(s, &name, sizeof(name)) == ws::SOCKET_ERROR && ws::WSAGetLastError() == ws::WSAEWOULDBLOCK) {
        ws::fd_set readSet;
        ws::fd_set writeSet;
        ws::fd_set exceptSet;
        ASSERT_EQ(SelectOne(s, &readSet, &writeSet, &exceptSet, 5000), 1);
        EXPECT_TRUE(FD_ISSET(s, &exceptSet));
        EXPECT_FALSE(FD_ISSET(s, &writeSet));
        EXPECT_FALSE(FD_ISSET(s, &readSet));
        int32_t pending = 0;
        int32_t length = sizeof(pending);
        ASSERT_EQ(ws::getsockopt(s, ws::SOL_SOCKET, ws::SO_ERROR, reinterpret_cast<char*>(&pending), &length), 0);
        EXPECT_EQ(pending, ws::WSAECONNREFUSED);
        EXPECT_EQ(length, 4);
        // Reading the pending error clears it.
        ASSERT_EQ(ws::getsockopt(s, ws::SOL_SOCKET, ws::SO_ERROR, reinterpret_cast<char*>(&pending), &length), 0);
        EXPECT_EQ(pending, 0);
    } else {
        EXPECT_EQ(ws::WSAGetLastError(), ws::WSAECONNREFUSED);
    }
    EXPECT_EQ(ws::closesocket(s), 0);
}

TEST_F(Winsock, SendingToAPeerThatLeftFailsWithoutASignal) {
    LoopbackServer server;
    const ws::SOCKET s = ws::socket(ws::AF_INET, ws::SOCK_STREAM, 0);
    ASSERT_NE(s, ws::INVALID_SOCKET);
    const ws::sockaddr name = LoopbackAddress(server.Port());
    ASSERT_EQ(ws::connect(s, &name, sizeof(name)), 0);
    ASSERT_TRUE(server.Accept());
    server.CloseClient();

    // The first sends may still be taken; once the peer's reset is back,
    // every send fails, and the process lives on.
    const std::vector<char> block(1000, 'x');
    int failures = 0;
    for (int i = 0; i < 200 && failures < 2; ++i) {
        if (ws::send(s, block.data(), static_cast<int32_t>(block.size()), 0) == ws::SOCKET_ERROR) {
            EXPECT_EQ(ws::WSAGetLastError(), ws::WSAECONNRESET);
            ++failures;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(ws::closesocket(s), 0);
}

TEST_F(Winsock, RefusesWhatItDoesNotOffer) {
    EXPECT_EQ(ws::socket(ws::AF_INET, 2, 0), ws::INVALID_SOCKET);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAESOCKTNOSUPPORT);
    EXPECT_EQ(ws::socket(23, ws::SOCK_STREAM, 0), ws::INVALID_SOCKET);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEAFNOSUPPORT);

    const ws::SOCKET s = NonBlockingSocket();
    ws::u_long argument = 0;
    EXPECT_EQ(ws::ioctlsocket(s, 0x4004667F, &argument), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEINVAL);
    int32_t value = 0;
    int32_t length = sizeof(value);
    EXPECT_EQ(ws::getsockopt(s, ws::SOL_SOCKET, 0x0008, reinterpret_cast<char*>(&value), &length), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOPROTOOPT);
    EXPECT_EQ(ws::send(s, "x", 1, 1), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEOPNOTSUPP);

    ws::fd_set empty;
    FD_ZERO(&empty);
    const ws::timeval now{0, 0};
    EXPECT_EQ(ws::select(0, &empty, nullptr, nullptr, &now), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEINVAL);
    ws::fd_set stale;
    EXPECT_EQ(SelectOne(kNoSuchSocket, &stale, nullptr, nullptr, 0), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);

    EXPECT_EQ(ws::closesocket(s), 0);
    EXPECT_EQ(ws::closesocket(ws::INVALID_SOCKET), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
}

}  // namespace
