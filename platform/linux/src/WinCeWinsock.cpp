#include "WinCeWinsock.h"

#include "HostSocket.h"

#include <atomic>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace WinSock {
namespace {

constexpr WORD kHighestVersion = MAKEWORD(2, 2);

std::atomic<int32_t> g_startups{0};

// The answer of the thread's latest lookup, as hostent hands it out.
struct LookupAnswer {
    std::string name;
    uint32_t address = 0;
    char* addresses[2] = {nullptr, nullptr};
    char* aliases[1] = {nullptr};
    hostent entry{};
};

thread_local LookupAnswer t_answer;

struct ErrnoCode {
    int host;
    int32_t wsa;
};

constexpr ErrnoCode kErrnoCodes[] = {
    {EINTR, WSAEINTR},
    {EBADF, WSAENOTSOCK},
    {ENOTSOCK, WSAENOTSOCK},
    {EACCES, WSAEACCES},
    {EFAULT, WSAEFAULT},
    {EINVAL, WSAEINVAL},
    {EMFILE, WSAEMFILE},
    {ENFILE, WSAEMFILE},
    {EAGAIN, WSAEWOULDBLOCK},
    {EINPROGRESS, WSAEWOULDBLOCK},
    {EALREADY, WSAEALREADY},
    {EOPNOTSUPP, WSAEOPNOTSUPP},
    {EAFNOSUPPORT, WSAEAFNOSUPPORT},
    {EADDRINUSE, WSAEADDRINUSE},
    {EADDRNOTAVAIL, WSAEADDRNOTAVAIL},
    {ENETDOWN, WSAENETDOWN},
    {ENETUNREACH, WSAENETUNREACH},
    {ECONNABORTED, WSAECONNABORTED},
    {ECONNRESET, WSAECONNRESET},
    {EPIPE, WSAECONNRESET},
    {ENOBUFS, WSAENOBUFS},
    {ENOMEM, WSAENOBUFS},
    {EISCONN, WSAEISCONN},
    {ENOTCONN, WSAENOTCONN},
    {ETIMEDOUT, WSAETIMEDOUT},
    {ECONNREFUSED, WSAECONNREFUSED},
    {EHOSTUNREACH, WSAEHOSTUNREACH},
};

int32_t WsaCodeOf(int hostError) {
    for (const ErrnoCode& code : kErrnoCodes) {
        if (code.host == hostError) {
            return code.wsa;
        }
    }
    return WSAENETDOWN;
}

int32_t Fail(int32_t wsaCode) {
    SetLastError(static_cast<DWORD>(wsaCode));
    return SOCKET_ERROR;
}

int32_t FailHost(int hostError) {
    return Fail(WsaCodeOf(hostError));
}

int32_t FailLookup(HostSocket::LookupResult result) {
    switch (result) {
        case HostSocket::LookupResult::NotFound:
            return Fail(WSAHOST_NOT_FOUND);
        case HostSocket::LookupResult::TryAgain:
            return Fail(WSATRY_AGAIN);
        default:
            return Fail(WSANO_RECOVERY);
    }
}

bool IsStarted() {
    return g_startups.load() > 0;
}

// The host descriptor of a socket; false (with WSAENOTSOCK) for a value
// that cannot be one.
bool DescriptorOf(SOCKET s, int32_t* descriptor) {
    if (s > static_cast<SOCKET>(INT32_MAX)) {
        Fail(WSAENOTSOCK);
        return false;
    }
    *descriptor = static_cast<int32_t>(s);
    return true;
}

hostent* Answer(const std::string& name, uint32_t address) {
    LookupAnswer& answer = t_answer;
    answer.name = name;
    answer.address = address;
    answer.addresses[0] = reinterpret_cast<char*>(&answer.address);
    answer.entry.h_name = answer.name.data();
    answer.entry.h_aliases = answer.aliases;
    answer.entry.h_addrtype = static_cast<int16_t>(AF_INET);
    answer.entry.h_length = sizeof(uint32_t);
    answer.entry.h_addr_list = answer.addresses;
    return &answer.entry;
}

bool Contains(const fd_set* set, SOCKET s) {
    return set != nullptr && __WSAFDIsSet(s, const_cast<fd_set*>(set)) != 0;
}

// One poll entry per distinct socket of the three sets.
std::vector<HostSocket::PollEntry> EntriesOf(const fd_set* readSet, const fd_set* writeSet, const fd_set* exceptSet) {
    std::vector<HostSocket::PollEntry> entries;
    for (const fd_set* set : {readSet, writeSet, exceptSet}) {
        for (uint32_t i = 0; set != nullptr && i < set->fd_count; ++i) {
            const SOCKET s = set->fd_array[i];
            bool known = false;
            for (const HostSocket::PollEntry& entry : entries) {
                known = known || static_cast<SOCKET>(entry.descriptor) == s;
            }
            if (!known) {
                entries.push_back({s > static_cast<SOCKET>(INT32_MAX) ? -1 : static_cast<int32_t>(s),
                                   Contains(readSet, s), Contains(writeSet, s), Contains(exceptSet, s), false, false,
                                   false, false});
            }
        }
    }
    return entries;
}

// Keeps in the set the sockets whose entry passes `ready`; answers how many.
template <typename Ready>
int32_t KeepReady(fd_set* set, const std::vector<HostSocket::PollEntry>& entries, Ready ready) {
    if (set == nullptr) {
        return 0;
    }
    fd_set kept{};
    for (const HostSocket::PollEntry& entry : entries) {
        if (Contains(set, static_cast<SOCKET>(entry.descriptor)) && ready(entry)) {
            FdSet(static_cast<SOCKET>(entry.descriptor), &kept);
        }
    }
    *set = kept;
    return static_cast<int32_t>(kept.fd_count);
}

// Milliseconds of a time-out, -1 for none; false for a negative one.
bool TimeoutMsOf(const timeval* timeout, int32_t* ms) {
    if (timeout == nullptr) {
        *ms = -1;
        return true;
    }
    if (timeout->tv_sec < 0 || timeout->tv_usec < 0) {
        return false;
    }
    const int64_t total = static_cast<int64_t>(timeout->tv_sec) * 1000 + (timeout->tv_usec + 999) / 1000;
    *ms = total > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
    return true;
}

HostSocket::ShutdownHow ShutdownHowOf(int32_t how) {
    if (how == SD_RECEIVE) return HostSocket::ShutdownHow::Receive;
    if (how == SD_SEND) return HostSocket::ShutdownHow::Send;
    return HostSocket::ShutdownHow::Both;
}

}  // namespace

int32_t WSAStartup(WORD version, WSADATA* data) {
    if (data == nullptr) {
        return WSAEFAULT;
    }
    const uint8_t major = static_cast<uint8_t>(version & 0xFF);
    const uint8_t minor = static_cast<uint8_t>(version >> 8);
    if (major < 1 || (major == 1 && minor < 1)) {
        return WSAVERNOTSUPPORTED;
    }
    const bool aboveHighest = major > 2 || (major == 2 && minor > 2);
    *data = WSADATA{};
    data->wVersion = aboveHighest ? kHighestVersion : version;
    data->wHighVersion = kHighestVersion;
    std::strcpy(data->szDescription, "Host TCP/IP sockets");
    std::strcpy(data->szSystemStatus, "Running");
    ++g_startups;
    return 0;
}

int32_t WSACleanup() {
    int32_t current = g_startups.load();
    do {
        if (current <= 0) {
            return Fail(WSANOTINITIALISED);
        }
    } while (!g_startups.compare_exchange_weak(current, current - 1));
    return 0;
}

int32_t WSAGetLastError() {
    return static_cast<int32_t>(GetLastError());
}

hostent* gethostbyname(const char* name) {
    if (!IsStarted()) {
        Fail(WSANOTINITIALISED);
        return nullptr;
    }
    if (name == nullptr) {
        Fail(WSAEFAULT);
        return nullptr;
    }
    std::string official;
    uint32_t address = 0;
    const HostSocket::LookupResult result = HostSocket::ResolveName(name, &official, &address);
    if (result != HostSocket::LookupResult::Found) {
        FailLookup(result);
        return nullptr;
    }
    return Answer(official, address);
}

hostent* gethostbyaddr(const char* address, int32_t length, int32_t type) {
    if (!IsStarted()) {
        Fail(WSANOTINITIALISED);
        return nullptr;
    }
    if (address == nullptr || length != static_cast<int32_t>(sizeof(uint32_t))) {
        Fail(WSAEFAULT);
        return nullptr;
    }
    if (type != AF_INET) {
        Fail(WSAEAFNOSUPPORT);
        return nullptr;
    }
    uint32_t value = 0;
    std::memcpy(&value, address, sizeof(value));
    std::string name;
    const HostSocket::LookupResult result = HostSocket::ResolveAddress(value, &name);
    if (result != HostSocket::LookupResult::Found) {
        FailLookup(result);
        return nullptr;
    }
    return Answer(name, value);
}

uint32_t inet_addr(const char* text) {
    uint32_t address = INADDR_NONE;
    if (text == nullptr || !HostSocket::ParseDotted(text, &address)) {
        return INADDR_NONE;
    }
    return address;
}

uint16_t htons(uint16_t value) {
    if constexpr (std::endian::native == std::endian::big) {
        return value;
    }
    return static_cast<uint16_t>((value >> 8) | (value << 8));
}

SOCKET socket(int32_t family, int32_t type, int32_t protocol) {
    if (!IsStarted()) {
        Fail(WSANOTINITIALISED);
        return INVALID_SOCKET;
    }
    if (family != AF_INET) {
        Fail(WSAEAFNOSUPPORT);
        return INVALID_SOCKET;
    }
    if (type != SOCK_STREAM) {
        Fail(WSAESOCKTNOSUPPORT);
        return INVALID_SOCKET;
    }
    if (protocol != 0 && protocol != IPPROTO_TCP) {
        Fail(WSAEPROTONOSUPPORT);
        return INVALID_SOCKET;
    }
    int32_t error = 0;
    const int32_t descriptor = HostSocket::OpenTcp(&error);
    if (descriptor < 0) {
        FailHost(error);
        return INVALID_SOCKET;
    }
    return static_cast<SOCKET>(descriptor);
}

int32_t ioctlsocket(SOCKET s, int32_t command, u_long* argument) {
    int32_t descriptor = 0;
    if (!DescriptorOf(s, &descriptor)) {
        return SOCKET_ERROR;
    }
    if (command != FIONBIO) {
        return Fail(WSAEINVAL);
    }
    if (argument == nullptr) {
        return Fail(WSAEFAULT);
    }
    int32_t error = 0;
    return HostSocket::SetNonBlocking(descriptor, *argument != 0, &error) ? 0 : FailHost(error);
}

int32_t connect(SOCKET s, const sockaddr* name, int32_t length) {
    int32_t descriptor = 0;
    if (!DescriptorOf(s, &descriptor)) {
        return SOCKET_ERROR;
    }
    if (name == nullptr || length < static_cast<int32_t>(sizeof(sockaddr_in))) {
        return Fail(WSAEFAULT);
    }
    sockaddr_in target{};
    std::memcpy(&target, name, sizeof(target));
    if (target.sin_family != AF_INET) {
        return Fail(WSAEAFNOSUPPORT);
    }
    int32_t error = 0;
    return HostSocket::Connect(descriptor, target.sin_addr.s_addr, target.sin_port, &error) ? 0 : FailHost(error);
}

int32_t select(int32_t ignored, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, const timeval* timeout) {
    (void)ignored;
    std::vector<HostSocket::PollEntry> entries = EntriesOf(readSet, writeSet, exceptSet);
    int32_t timeoutMs = 0;
    if (entries.empty() || !TimeoutMsOf(timeout, &timeoutMs)) {
        return Fail(WSAEINVAL);
    }
    int32_t error = 0;
    if (!HostSocket::Poll(&entries, timeoutMs, &error)) {
        return FailHost(error);
    }
    for (const HostSocket::PollEntry& entry : entries) {
        if (entry.descriptor < 0 || entry.invalid) {
            return Fail(WSAENOTSOCK);
        }
    }
    using Entry = HostSocket::PollEntry;
    return KeepReady(readSet, entries, [](const Entry& e) { return e.readable && !e.failed; }) +
           KeepReady(writeSet, entries, [](const Entry& e) { return e.writable && !e.failed; }) +
           KeepReady(exceptSet, entries, [](const Entry& e) { return e.failed; });
}

int32_t __WSAFDIsSet(SOCKET s, fd_set* set) {
    for (uint32_t i = 0; i < set->fd_count && i < FD_SETSIZE; ++i) {
        if (set->fd_array[i] == s) {
            return 1;
        }
    }
    return 0;
}

void FdSet(SOCKET s, fd_set* set) {
    if (__WSAFDIsSet(s, set) == 0 && set->fd_count < FD_SETSIZE) {
        set->fd_array[set->fd_count++] = s;
    }
}

void FdClr(SOCKET s, fd_set* set) {
    for (uint32_t i = 0; i < set->fd_count; ++i) {
        if (set->fd_array[i] == s) {
            set->fd_array[i] = set->fd_array[--set->fd_count];
            return;
        }
    }
}

int32_t send(SOCKET s, const char* buffer, int32_t length, int32_t flags) {
    int32_t descriptor = 0;
    if (!DescriptorOf(s, &descriptor)) {
        return SOCKET_ERROR;
    }
    if (flags != 0) {
        return Fail(WSAEOPNOTSUPP);
    }
    if (length < 0 || (buffer == nullptr && length > 0)) {
        return Fail(WSAEFAULT);
    }
    int32_t error = 0;
    const int64_t sent = HostSocket::Send(descriptor, buffer, static_cast<size_t>(length), &error);
    return sent < 0 ? FailHost(error) : static_cast<int32_t>(sent);
}

int32_t recv(SOCKET s, char* buffer, int32_t length, int32_t flags) {
    int32_t descriptor = 0;
    if (!DescriptorOf(s, &descriptor)) {
        return SOCKET_ERROR;
    }
    if (flags != 0) {
        return Fail(WSAEOPNOTSUPP);
    }
    if (length < 0 || (buffer == nullptr && length > 0)) {
        return Fail(WSAEFAULT);
    }
    int32_t error = 0;
    const int64_t received = HostSocket::Receive(descriptor, buffer, static_cast<size_t>(length), &error);
    return received < 0 ? FailHost(error) : static_cast<int32_t>(received);
}

int32_t getsockopt(SOCKET s, int32_t level, int32_t name, char* value, int32_t* length) {
    int32_t descriptor = 0;
    if (!DescriptorOf(s, &descriptor)) {
        return SOCKET_ERROR;
    }
    if (level != SOL_SOCKET || name != SO_ERROR) {
        return Fail(WSAENOPROTOOPT);
    }
    if (value == nullptr || length == nullptr || *length < static_cast<int32_t>(sizeof(int32_t))) {
        return Fail(WSAEFAULT);
    }
    int32_t pending = 0;
    int32_t error = 0;
    if (!HostSocket::TakePendingError(descriptor, &pending, &error)) {
        return FailHost(error);
    }
    const int32_t code = pending == 0 ? 0 : WsaCodeOf(pending);
    std::memcpy(value, &code, sizeof(code));
    *length = sizeof(code);
    return 0;
}

int32_t shutdown(SOCKET s, int32_t how) {
    int32_t descriptor = 0;
    if (!DescriptorOf(s, &descriptor)) {
        return SOCKET_ERROR;
    }
    if (how < SD_RECEIVE || how > SD_BOTH) {
        return Fail(WSAEINVAL);
    }
    int32_t error = 0;
    return HostSocket::Shutdown(descriptor, ShutdownHowOf(how), &error) ? 0 : FailHost(error);
}

int32_t closesocket(SOCKET s) {
    int32_t descriptor = 0;
    if (!DescriptorOf(s, &descriptor)) {
        return SOCKET_ERROR;
    }
    int32_t error = 0;
    return HostSocket::Close(descriptor, &error) ? 0 : FailHost(error);
}

}  // namespace WinSock
