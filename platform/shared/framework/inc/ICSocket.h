#ifndef ICSOCKET_H
#define ICSOCKET_H

#include "CClass.h"

// The engine's TCP client connection. One operation at a time (connect,
// send or receive) is started by a call and carried on by Poll, which the
// owner calls every frame; nothing ever blocks.
class ICSocket : public CClass {
public:
    static constexpr uint32_t kClassKey = 0xD6595D28;

    // Operation results.
    static constexpr int32_t kBusy = -1;
    static constexpr int32_t kOk = 0;
    static constexpr int32_t kBadArgument = 1;
    static constexpr int32_t kHostNotFound = 241;
    // No socket, or the peer closed the connection.
    static constexpr int32_t kNotConnected = 242;
    static constexpr int32_t kTimedOut = 243;
    static constexpr int32_t kSocketFailed = 244;
    static constexpr int32_t kConnectFailed = 246;
    static constexpr int32_t kReceiveFailed = 247;
    static constexpr int32_t kSendFailed = 248;

    ICSocket() : CClass(kClassKey) {}
    ~ICSocket() override = default;

    virtual bool IsBusy() = 0;
    // kBusy while an operation runs, else the last operation's result.
    virtual int32_t GetResult() = 0;
    // The first system error met since the operation began, 0 when none.
    virtual uint32_t GetLastSocketError() = 0;
    virtual const void* GetBuffer() = 0;
    virtual uint32_t GetBytesDone() = 0;

    // Each starts an operation and answers kBusy while one runs, else its
    // result so far (kOk while it goes on in Poll). A time-out of 0 waits
    // for ever.
    virtual int32_t Connect(const char* host, uint16_t port, int32_t timeoutMs) = 0;
    virtual void Close() = 0;
    virtual int32_t Send(const void* data, uint32_t length, int32_t timeoutMs) = 0;
    // Finishes with the first chunk that arrives (at most 2048 bytes).
    virtual int32_t Receive(void* buffer, uint32_t capacity, int32_t timeoutMs) = 0;
    virtual void Poll(int32_t elapsedMs) = 0;
};

#endif
