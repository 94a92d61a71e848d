#include "CSocket_Win32.h"
#include "HostSocket.h"

#include "LoopbackServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Polls with `elapsedMs` until the operation ends, pausing for real between
// polls so that loopback traffic can move. Answers the result.
int32_t Finish(ICSocket& socket, int32_t elapsedMs = 0) {
    for (int i = 0; i < 2000 && socket.IsBusy(); ++i) {
        socket.Poll(elapsedMs);
        if (socket.IsBusy()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return socket.GetResult();
}

std::vector<uint8_t> Pattern(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    return bytes;
}

class SocketWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        m_socket.reset(CSocket_Win32::Create());
        ASSERT_NE(m_socket, nullptr);
    }
    void TearDown() override { HostSocket::ClearFaults(); }

    // Connects to the server and takes the connection on its side.
    void Connect() {
        ASSERT_EQ(m_socket->Connect("127.0.0.1", m_server.Port(), 5000), ICSocket::kOk);
        ASSERT_EQ(Finish(*m_socket), ICSocket::kOk);
        ASSERT_TRUE(m_server.Accept());
    }

    // A send of a few bytes, to learn whether the socket is still open.
    int32_t ProbeSend() {
        static const char probe[] = "?";
        return m_socket->Send(probe, 1, 1000);
    }

    LoopbackServer m_server;
    std::unique_ptr<CSocket_Win32> m_socket;
};

TEST_F(SocketWin32, StartsIdleWithoutSocket) {
    EXPECT_EQ(m_socket->GetClassKey(), 0xD6595D28u);
    EXPECT_FALSE(m_socket->IsBusy());
    EXPECT_EQ(m_socket->GetResult(), 0);
    EXPECT_EQ(m_socket->GetBytesDone(), 0u);
    uint8_t buffer[8];
    EXPECT_EQ(m_socket->Send(buffer, sizeof(buffer), 100), ICSocket::kNotConnected);
    EXPECT_EQ(m_socket->Receive(buffer, sizeof(buffer), 100), ICSocket::kNotConnected);
    EXPECT_EQ(m_socket->GetResult(), ICSocket::kNotConnected);
}

TEST_F(SocketWin32, SendGoesOutIn2048ByteChunksOnePerPoll) {
    Connect();
    const std::vector<uint8_t> data = Pattern(5000);
    ASSERT_EQ(m_socket->Send(data.data(), 5000, 1000), ICSocket::kOk);
    EXPECT_TRUE(m_socket->IsBusy());
    EXPECT_EQ(m_socket->GetResult(), ICSocket::kBusy);
    EXPECT_EQ(m_socket->GetBuffer(), data.data());
    const uint32_t expectedDone[] = {2048, 4096, 5000};
    for (uint32_t done : expectedDone) {
        m_socket->Poll(10);
        EXPECT_EQ(m_socket->GetBytesDone(), done);
        EXPECT_TRUE(m_socket->IsBusy());
    }
    m_socket->Poll(10);
    EXPECT_FALSE(m_socket->IsBusy());
    EXPECT_EQ(m_socket->GetResult(), ICSocket::kOk);
    EXPECT_EQ(m_server.ReceiveFromClient(5000), data);
}

TEST_F(SocketWin32, ReceiveEndsWithTheFirstChunk) {
    Connect();
    const std::vector<uint8_t> data = Pattern(3000);
    ASSERT_TRUE(m_server.SendToClient(data));
    std::vector<uint8_t> buffer(10000, 0);
    ASSERT_EQ(m_socket->Receive(buffer.data(), 10000, 1000), ICSocket::kOk);
    EXPECT_EQ(Finish(*m_socket), ICSocket::kOk);
    ASSERT_EQ(m_socket->GetBytesDone(), 2048u);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 2048, buffer.begin()));

    ASSERT_EQ(m_socket->Receive(buffer.data(), 10000, 1000), ICSocket::kOk);
    EXPECT_EQ(Finish(*m_socket), ICSocket::kOk);
    ASSERT_EQ(m_socket->GetBytesDone(), 952u);
    EXPECT_TRUE(std::equal(data.begin() + 2048, data.end(), buffer.begin()));
}

TEST_F(SocketWin32, BadArgumentsAndBusyCalls) {
    Connect();
    uint8_t buffer[16];
    EXPECT_EQ(m_socket->Send(nullptr, 5, 100), ICSocket::kBadArgument);
    EXPECT_EQ(m_socket->Send(buffer, 0, 100), ICSocket::kBadArgument);
    EXPECT_EQ(m_socket->Receive(nullptr, 5, 100), ICSocket::kBadArgument);
    // No room would read nothing, which would pass for the peer's close.
    EXPECT_EQ(m_socket->Receive(buffer, 0, 100), ICSocket::kBadArgument);
    EXPECT_EQ(m_socket->GetResult(), ICSocket::kBadArgument);

    // Nothing arrives, so the receive runs until told otherwise.
    ASSERT_EQ(m_socket->Receive(buffer, sizeof(buffer), 0), ICSocket::kOk);
    m_socket->Poll(40);
    EXPECT_TRUE(m_socket->IsBusy());
    EXPECT_EQ(m_socket->Send(buffer, 1, 100), ICSocket::kBusy);
    EXPECT_EQ(m_socket->Receive(buffer, 1, 100), ICSocket::kBusy);
    EXPECT_EQ(m_socket->Connect("127.0.0.1", m_server.Port(), 100), ICSocket::kBusy);
    EXPECT_EQ(m_socket->GetResult(), ICSocket::kBusy);
    m_socket->Close();
    EXPECT_FALSE(m_socket->IsBusy());
    EXPECT_EQ(ProbeSend(), ICSocket::kNotConnected);
}

TEST_F(SocketWin32, TimeOutOf100EndsInTheThirdPollOf40) {
    Connect();
    uint8_t buffer[16];
    ASSERT_EQ(m_socket->Receive(buffer, sizeof(buffer), 100), ICSocket::kOk);
    m_socket->Poll(40);
    m_socket->Poll(40);
    EXPECT_TRUE(m_socket->IsBusy());
    m_socket->Poll(40);
    EXPECT_FALSE(m_socket->IsBusy());
    EXPECT_EQ(m_socket->GetResult(), ICSocket::kTimedOut);
    // A timed-out connection is dropped.
    EXPECT_TRUE(m_server.ClientClosed());
    EXPECT_EQ(ProbeSend(), ICSocket::kNotConnected);
}

TEST_F(SocketWin32, IdleConnectionClosesThirtySecondsAfterItsLastOperation) {
    Connect();
    ASSERT_EQ(ProbeSend(), ICSocket::kOk);
    ASSERT_EQ(Finish(*m_socket, 0), ICSocket::kOk);
    m_socket->Poll(29999);
    ASSERT_EQ(ProbeSend(), ICSocket::kOk);
    ASSERT_EQ(Finish(*m_socket, 0), ICSocket::kOk);
    EXPECT_EQ(m_server.ReceiveFromClient(2), std::vector<uint8_t>({'?', '?'}));
    m_socket->Poll(29999);
    m_socket->Poll(1);
    EXPECT_TRUE(m_server.ClientClosed());
    EXPECT_EQ(ProbeSend(), ICSocket::kNotConnected);
}

TEST_F(SocketWin32, PeerThatClosesEndsTheReceiveWith242) {
    Connect();
    m_server.CloseClient();
    uint8_t buffer[16];
    ASSERT_EQ(m_socket->Receive(buffer, sizeof(buffer), 5000), ICSocket::kOk);
    EXPECT_EQ(Finish(*m_socket), ICSocket::kNotConnected);
    EXPECT_EQ(ProbeSend(), ICSocket::kNotConnected);
}

TEST_F(SocketWin32, PeerThatResetsFailsTheSendWithoutASignal) {
    Connect();
    m_server.CloseClient(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::vector<uint8_t> data = Pattern(20000);
    ASSERT_EQ(m_socket->Send(data.data(), static_cast<uint32_t>(data.size()), 5000), ICSocket::kOk);
    EXPECT_EQ(Finish(*m_socket), ICSocket::kSendFailed);
    EXPECT_EQ(m_socket->GetLastSocketError(), static_cast<uint32_t>(WinSock::WSAECONNRESET));
}

TEST_F(SocketWin32, RefusedConnectionIs246WithTheSystemError) {
    LoopbackServer refusing(LoopbackServer::Mode::Refusing);
    const int32_t started = m_socket->Connect("127.0.0.1", refusing.Port(), 5000);
    const int32_t result = started == ICSocket::kOk ? Finish(*m_socket) : started;
    EXPECT_EQ(result, ICSocket::kConnectFailed);
    EXPECT_EQ(m_socket->GetLastSocketError(), static_cast<uint32_t>(WinSock::WSAECONNREFUSED));
    EXPECT_EQ(ProbeSend(), ICSocket::kNotConnected);
}

TEST_F(SocketWin32, HostsByNameAndByNumbers) {
    ASSERT_EQ(m_socket->Connect("localhost", m_server.Port(), 5000), ICSocket::kOk);
    EXPECT_EQ(Finish(*m_socket), ICSocket::kOk);
    EXPECT_STREQ(m_socket->GetHostName().GetBuffer(), "localhost");
    ASSERT_TRUE(m_server.Accept());

    // A name that cannot be found, without asking any name server.
    HostSocket::SetFault(HostSocket::Fault::NameLookup, true);
    EXPECT_EQ(m_socket->Connect("no.such.host", m_server.Port(), 5000), ICSocket::kHostNotFound);
    EXPECT_EQ(m_socket->GetResult(), ICSocket::kHostNotFound);
    EXPECT_EQ(m_socket->Connect(nullptr, m_server.Port(), 5000), ICSocket::kHostNotFound);

    // Numbers that the name lookup does not take are looked up by address...
    m_socket->Close();
    ASSERT_EQ(m_socket->Connect("127.0.0.1", m_server.Port(), 5000), ICSocket::kOk);
    EXPECT_EQ(Finish(*m_socket), ICSocket::kOk);
    EXPECT_STREQ(m_socket->GetHostName().GetBuffer(), "localhost");
    ASSERT_TRUE(m_server.Accept());

    // ...and are used as they are when that fails too.
    m_socket->Close();
    HostSocket::SetFault(HostSocket::Fault::AddressLookup, true);
    ASSERT_EQ(m_socket->Connect("127.0.0.1", m_server.Port(), 5000), ICSocket::kOk);
    EXPECT_EQ(Finish(*m_socket), ICSocket::kOk);
    EXPECT_STREQ(m_socket->GetHostName().GetBuffer(), "127.0.0.1");
    ASSERT_TRUE(m_server.Accept());
    ASSERT_EQ(ProbeSend(), ICSocket::kOk);
    ASSERT_EQ(Finish(*m_socket), ICSocket::kOk);
    EXPECT_EQ(m_server.ReceiveFromClient(1), std::vector<uint8_t>({'?'}));
}

TEST_F(SocketWin32, ConnectingAgainToTheSamePlaceKeepsTheConnection) {
    Connect();
    EXPECT_EQ(m_socket->Connect("127.0.0.1", m_server.Port(), 5000), ICSocket::kOk);
    EXPECT_EQ(Finish(*m_socket), ICSocket::kOk);
    ASSERT_EQ(ProbeSend(), ICSocket::kOk);
    ASSERT_EQ(Finish(*m_socket), ICSocket::kOk);
    EXPECT_EQ(m_server.ReceiveFromClient(1), std::vector<uint8_t>({'?'}));
    // No second connection was made.
    EXPECT_FALSE(m_server.Accept(200));
}

TEST_F(SocketWin32, ConnectingElsewhereClosesTheOldConnection) {
    Connect();
    LoopbackServer other;
    ASSERT_EQ(m_socket->Connect("127.0.0.1", other.Port(), 5000), ICSocket::kOk);
    EXPECT_EQ(Finish(*m_socket), ICSocket::kOk);
    EXPECT_TRUE(m_server.ClientClosed());
    ASSERT_TRUE(other.Accept());
    ASSERT_EQ(ProbeSend(), ICSocket::kOk);
    ASSERT_EQ(Finish(*m_socket), ICSocket::kOk);
    EXPECT_EQ(other.ReceiveFromClient(1), std::vector<uint8_t>({'?'}));
}

}  // namespace
