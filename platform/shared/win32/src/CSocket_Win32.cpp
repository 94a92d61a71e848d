#include "CSocket_Win32.h"

#include <algorithm>
#include <cstring>
#include <utility>

CSocket_Win32* CSocket_Win32::Create() {
    return new CSocket_Win32();
}

CSocket_Win32::CSocket_Win32() {
    WinSock::WSADATA data;
    m_started = WinSock::WSAStartup(WinSock::MAKEWORD(2, 2), &data) == 0;
}

CSocket_Win32::~CSocket_Win32() {
    Close();
    if (m_started) {
        WinSock::WSACleanup();
    }
}

int32_t CSocket_Win32::GetResult() {
    return IsBusy() ? kBusy : static_cast<int32_t>(m_result);
}

void CSocket_Win32::ClearOperation() {
    m_buffer = nullptr;
    m_length = 0;
    m_done = 0;
    m_state = kIdle;
    m_result = kOk;
    m_lastError = 0;
    m_timer = 0;
}

void CSocket_Win32::RecordError(uint32_t error) {
    if (m_lastError == 0) {
        m_lastError = error;
    }
}

int32_t CSocket_Win32::Fail(int32_t result) {
    m_result = static_cast<uint32_t>(result);
    RecordError(GetLastError());
    return result;
}

void CSocket_Win32::CloseSocket() {
    if (m_socket == WinSock::INVALID_SOCKET) {
        return;
    }
    WinSock::shutdown(m_socket, WinSock::SD_SEND);
    WinSock::shutdown(m_socket, WinSock::SD_BOTH);
    WinSock::closesocket(m_socket);
    m_socket = WinSock::INVALID_SOCKET;
}

void CSocket_Win32::Close() {
    CloseSocket();
    ClearOperation();
}

int32_t CSocket_Win32::Connect(const char* host, uint16_t port, int32_t timeoutMs) {
    if (IsBusy()) {
        return kBusy;
    }
    ClearOperation();
    uint32_t address = 0;
    CStrChar officialName;
    if (!Resolve(host, &address, &officialName)) {
        return Fail(kHostNotFound);
    }
    if (m_socket != WinSock::INVALID_SOCKET && (address != m_address || port != m_port)) {
        CloseSocket();
    }
    m_hostName = std::move(officialName);
    m_port = port;
    m_address = address;
    const int32_t opened = OpenSocket();
    if (opened != kOk) {
        return FailConnect(opened);
    }
    return StartConnect(timeoutMs);
}

bool CSocket_Win32::Resolve(const char* host, uint32_t* address, CStrChar* officialName) {
    if (host == nullptr) {
        return false;
    }
    WinSock::hostent* entry = WinSock::gethostbyname(host);
    if (entry == nullptr) {
        const uint32_t dotted = WinSock::inet_addr(host);
        if (dotted == WinSock::INADDR_NONE) {
            return false;
        }
        entry = WinSock::gethostbyaddr(reinterpret_cast<const char*>(&dotted), sizeof(dotted), WinSock::AF_INET);
        if (entry == nullptr) {
            // Numbers need no name to be connected to.
            *address = dotted;
            *officialName = host;
            return true;
        }
    }
    if (entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr) {
        return false;
    }
    std::memcpy(address, entry->h_addr_list[0], sizeof(*address));
    *officialName = entry->h_name;
    return true;
}

int32_t CSocket_Win32::OpenSocket() {
    if (m_socket == WinSock::INVALID_SOCKET) {
        m_socket = WinSock::socket(WinSock::AF_INET, WinSock::SOCK_STREAM, WinSock::IPPROTO_TCP);
        if (m_socket == WinSock::INVALID_SOCKET) {
            return kSocketFailed;
        }
    }
    WinSock::u_long nonBlocking = 1;
    if (WinSock::ioctlsocket(m_socket, WinSock::FIONBIO, &nonBlocking) == WinSock::SOCKET_ERROR) {
        return kConnectFailed;
    }
    return kOk;
}

int32_t CSocket_Win32::StartConnect(int32_t timeoutMs) {
    WinSock::sockaddr_in target{};
    target.sin_family = WinSock::AF_INET;
    target.sin_port = WinSock::htons(m_port);
    target.sin_addr.s_addr = m_address;
    WinSock::sockaddr name{};
    static_assert(sizeof(name) == sizeof(target));
    std::memcpy(&name, &target, sizeof(target));
    if (WinSock::connect(m_socket, &name, sizeof(name)) == 0) {
        return kOk;
    }
    const int32_t error = WinSock::WSAGetLastError();
    if (error == WinSock::WSAEWOULDBLOCK) {
        m_state = kConnecting;
        m_timer = timeoutMs;
        return kOk;
    }
    // An open connection to the same place is what was asked for.
    if (error == WinSock::WSAEISCONN) {
        return kOk;
    }
    return FailConnect(kConnectFailed);
}

int32_t CSocket_Win32::FailConnect(int32_t result) {
    Fail(result);
    // A socket whose connect failed is of no further use.
    CloseSocket();
    return result;
}

int32_t CSocket_Win32::Send(const void* data, uint32_t length, int32_t timeoutMs) {
    if (IsBusy()) {
        return kBusy;
    }
    ClearOperation();
    if (m_socket == WinSock::INVALID_SOCKET) {
        return SetResult(kNotConnected);
    }
    if (data == nullptr || length == 0) {
        return SetResult(kBadArgument);
    }
    // Sending only reads the buffer.
    return StartTransfer(kSending, const_cast<uint8_t*>(static_cast<const uint8_t*>(data)), length, timeoutMs);
}

int32_t CSocket_Win32::Receive(void* buffer, uint32_t capacity, int32_t timeoutMs) {
    if (IsBusy()) {
        return kBusy;
    }
    ClearOperation();
    if (m_socket == WinSock::INVALID_SOCKET) {
        return SetResult(kNotConnected);
    }
    // No room would read nothing, which looks like the peer's close.
    if (buffer == nullptr || capacity == 0) {
        return SetResult(kBadArgument);
    }
    return StartTransfer(kReceiving, static_cast<uint8_t*>(buffer), capacity, timeoutMs);
}

int32_t CSocket_Win32::SetResult(int32_t result) {
    m_result = static_cast<uint32_t>(result);
    return result;
}

int32_t CSocket_Win32::StartTransfer(State state, uint8_t* buffer, uint32_t length, int32_t timeoutMs) {
    m_state = state;
    m_buffer = buffer;
    m_length = length;
    m_timer = timeoutMs;
    return kOk;
}

void CSocket_Win32::Poll(int32_t elapsedMs) {
    if (!IsBusy()) {
        CountDownIdleLife(elapsedMs);
        return;
    }
    CountDownTimeOut(elapsedMs);
    switch (m_state) {
        case kConnecting:
            EndUnlessWaiting(PollConnect());
            break;
        case kSending:
            EndUnlessWaiting(PollSend());
            break;
        case kReceiving:
            EndUnlessWaiting(PollReceive());
            break;
        case kFinishing:
            PollFinishing();
            break;
        default:
            break;
    }
}

void CSocket_Win32::EndUnlessWaiting(bool waiting) {
    if (!waiting) {
        m_state = kFinishing;
    }
}

void CSocket_Win32::CountDownTimeOut(int32_t elapsedMs) {
    if (m_timer <= 0) {
        return;
    }
    m_timer -= elapsedMs;
    if (m_timer < 1) {
        m_timer = 0;
        m_result = kTimedOut;
        m_state = kFinishing;
    }
}

void CSocket_Win32::CountDownIdleLife(int32_t elapsedMs) {
    if (m_timer <= 0) {
        return;
    }
    m_timer -= elapsedMs;
    if (m_timer < 1) {
        m_timer = 0;
        CloseSocket();
    }
}

bool CSocket_Win32::PollConnect() {
    if (m_socket == WinSock::INVALID_SOCKET) {
        m_result = kNotConnected;
        return false;
    }
    WinSock::fd_set readSet;
    WinSock::fd_set writeSet;
    WinSock::fd_set exceptSet;
    for (WinSock::fd_set* set : {&readSet, &writeSet, &exceptSet}) {
        FD_ZERO(set);
        FD_SET(m_socket, set);
    }
    const WinSock::timeval immediately{0, 0};
    const int32_t ready = WinSock::select(0, &readSet, &writeSet, &exceptSet, &immediately);
    if (ready == 0) {
        return true;
    }
    if (ready == WinSock::SOCKET_ERROR) {
        m_result = kConnectFailed;
    } else if (!FD_ISSET(m_socket, &writeSet)) {
        RecordPendingError();
        m_result = kConnectFailed;
    }
    return false;
}

void CSocket_Win32::RecordPendingError() {
    int32_t pending = 0;
    int32_t length = sizeof(pending);
    if (WinSock::getsockopt(m_socket, WinSock::SOL_SOCKET, WinSock::SO_ERROR, reinterpret_cast<char*>(&pending),
                            &length) == 0) {
        RecordError(static_cast<uint32_t>(pending));
    }
}

bool CSocket_Win32::PollSend() {
    if (m_socket == WinSock::INVALID_SOCKET) {
        m_result = kNotConnected;
        return false;
    }
    const uint32_t chunk = std::min(kChunkBytes, m_length - m_done);
    const int32_t sent =
        WinSock::send(m_socket, reinterpret_cast<const char*>(m_buffer + m_done), static_cast<int32_t>(chunk), 0);
    if (sent > 0) {
        m_done += static_cast<uint32_t>(sent);
        return m_done < m_length;
    }
    return TransferFailed(sent, kSendFailed);
}

bool CSocket_Win32::PollReceive() {
    if (m_socket == WinSock::INVALID_SOCKET) {
        m_result = kNotConnected;
        return false;
    }
    const uint32_t room = std::min(kChunkBytes, m_length - m_done);
    const int32_t received =
        WinSock::recv(m_socket, reinterpret_cast<char*>(m_buffer + m_done), static_cast<int32_t>(room), 0);
    if (received > 0) {
        m_done += static_cast<uint32_t>(received);
        return false;
    }
    return TransferFailed(received, kReceiveFailed);
}

bool CSocket_Win32::TransferFailed(int32_t outcome, int32_t failure) {
    if (outcome == 0) {
        m_result = kNotConnected;
        return false;
    }
    if (WinSock::WSAGetLastError() == WinSock::WSAEWOULDBLOCK) {
        return true;
    }
    m_result = static_cast<uint32_t>(failure);
    return false;
}

void CSocket_Win32::PollFinishing() {
    if (m_result != kOk) {
        RecordError(GetLastError());
        CloseSocket();
    } else {
        m_timer = kIdleLifeMs;
    }
    m_state = kFinished;
}
