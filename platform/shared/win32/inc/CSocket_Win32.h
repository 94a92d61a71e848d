#ifndef CSOCKET_WIN32_H
#define CSOCKET_WIN32_H

#include "CStrChar.h"
#include "ICSocket.h"
#include "WinCeWinsock.h"

// A non-blocking TCP client over Winsock. A connection outlives its
// operation: it stays open for 30 s of polls after the last one finished.
class CSocket_Win32 : public ICSocket {
public:
    static constexpr uint32_t kChunkBytes = 2048;
    static constexpr int32_t kIdleLifeMs = 30000;

    // Null when memory is exhausted.
    static CSocket_Win32* Create();

    CSocket_Win32();
    ~CSocket_Win32() override;

    bool IsBusy() override { return m_state != kIdle && m_state != kFinished; }
    int32_t GetResult() override;
    uint32_t GetLastSocketError() override { return m_lastError; }
    const void* GetBuffer() override { return m_buffer; }
    uint32_t GetBytesDone() override { return m_done; }

    int32_t Connect(const char* host, uint16_t port, int32_t timeoutMs) override;
    void Close() override;
    int32_t Send(const void* data, uint32_t length, int32_t timeoutMs) override;
    int32_t Receive(void* buffer, uint32_t capacity, int32_t timeoutMs) override;
    void Poll(int32_t elapsedMs) override;

    // The official name of the host last connected to.
    const CStrChar& GetHostName() const { return m_hostName; }

private:
    enum State : uint32_t { kIdle, kConnecting, kSending, kReceiving, kFinishing, kFinished };

    void ClearOperation();
    // Looks the host up by name, then as dotted numbers; false when it is
    // neither.
    bool Resolve(const char* host, uint32_t* address, CStrChar* officialName);
    // Opens a non-blocking socket unless one is open: kOk, or the failure.
    int32_t OpenSocket();
    int32_t StartConnect(int32_t timeoutMs);
    int32_t StartTransfer(State state, uint8_t* buffer, uint32_t length, int32_t timeoutMs);
    int32_t SetResult(int32_t result);
    // Stores the result and records the system error.
    int32_t Fail(int32_t result);
    // As Fail, and drops the socket.
    int32_t FailConnect(int32_t result);
    // Keeps the first error of the operation.
    void RecordError(uint32_t error);
    void RecordPendingError();
    void CloseSocket();

    // Each answers whether the operation still waits.
    bool PollConnect();
    bool PollSend();
    bool PollReceive();
    // A send or receive that moved no byte: the peer closed (0), the call
    // would block (wait on), or it failed with `failure`.
    bool TransferFailed(int32_t outcome, int32_t failure);
    void EndUnlessWaiting(bool waiting);
    void PollFinishing();
    void CountDownTimeOut(int32_t elapsedMs);
    void CountDownIdleLife(int32_t elapsedMs);

    WinSock::SOCKET m_socket = WinSock::INVALID_SOCKET;
    CStrChar m_hostName;
    uint16_t m_port = 0;
    uint32_t m_address = 0;
    // The operation: cleared together.
    uint8_t* m_buffer = nullptr;
    uint32_t m_length = 0;
    uint32_t m_done = 0;
    uint32_t m_state = kIdle;
    uint32_t m_result = 0;
    uint32_t m_lastError = 0;
    int32_t m_timer = 0;
    // Every successful startup is matched by one cleanup.
    bool m_started = false;
};

#endif
