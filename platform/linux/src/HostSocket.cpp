#include "HostSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {

std::atomic<bool> g_failing[static_cast<size_t>(HostSocket::Fault::Count)];

bool Failed(int result, int32_t* error) {
    if (result >= 0) {
        *error = 0;
        return false;
    }
    *error = errno;
    return true;
}

short PollEventsOf(const HostSocket::PollEntry& entry) {
    short events = 0;
    if (entry.wantRead) events |= POLLIN;
    if (entry.wantWrite) events |= POLLOUT;
    if (entry.wantError) events |= POLLPRI;
    return events;
}

void TakeFindings(HostSocket::PollEntry* entry, short revents) {
    entry->invalid = (revents & POLLNVAL) != 0;
    entry->failed = (revents & POLLERR) != 0;
    entry->readable = (revents & (POLLIN | POLLHUP)) != 0;
    entry->writable = (revents & POLLOUT) != 0;
}

HostSocket::LookupResult LookupResultOf(int code) {
    switch (code) {
        case EAI_NONAME:
        case EAI_NODATA:
        case EAI_ADDRFAMILY:
            return HostSocket::LookupResult::NotFound;
        case EAI_AGAIN:
            return HostSocket::LookupResult::TryAgain;
        default:
            return HostSocket::LookupResult::Failed;
    }
}

sockaddr_in AddressOf(uint32_t address, uint16_t port) {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = port;
    target.sin_addr.s_addr = address;
    return target;
}

}  // namespace

int32_t HostSocket::OpenTcp(int32_t* error) {
    const int descriptor = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return Failed(descriptor, error) ? -1 : descriptor;
}

bool HostSocket::SetNonBlocking(int32_t descriptor, bool nonBlocking, int32_t* error) {
    const int flags = fcntl(descriptor, F_GETFL);
    if (Failed(flags, error)) {
        return false;
    }
    const int wanted = nonBlocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return !Failed(fcntl(descriptor, F_SETFL, wanted), error);
}

bool HostSocket::Connect(int32_t descriptor, uint32_t address, uint16_t port, int32_t* error) {
    const sockaddr_in target = AddressOf(address, port);
    return !Failed(connect(descriptor, reinterpret_cast<const sockaddr*>(&target), sizeof(target)), error);
}

bool HostSocket::Poll(std::vector<PollEntry>* entries, int32_t timeoutMs, int32_t* error) {
    std::vector<pollfd> polled;
    for (const PollEntry& entry : *entries) {
        polled.push_back({entry.descriptor, PollEventsOf(entry), 0});
    }
    int ready = 0;
    do {
        ready = poll(polled.data(), polled.size(), timeoutMs < 0 ? -1 : timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (Failed(ready, error)) {
        return false;
    }
    for (size_t i = 0; i < polled.size(); ++i) {
        TakeFindings(&(*entries)[i], polled[i].revents);
    }
    return true;
}

int64_t HostSocket::Send(int32_t descriptor, const void* data, size_t length, int32_t* error) {
    const ssize_t sent = send(descriptor, data, length, MSG_NOSIGNAL);
    *error = sent < 0 ? errno : 0;
    return sent;
}

int64_t HostSocket::Receive(int32_t descriptor, void* buffer, size_t capacity, int32_t* error) {
    const ssize_t received = recv(descriptor, buffer, capacity, 0);
    *error = received < 0 ? errno : 0;
    return received;
}

bool HostSocket::TakePendingError(int32_t descriptor, int32_t* pending, int32_t* error) {
    int value = 0;
    socklen_t length = sizeof(value);
    if (Failed(getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &value, &length), error)) {
        return false;
    }
    *pending = value;
    return true;
}

bool HostSocket::Shutdown(int32_t descriptor, ShutdownHow how, int32_t* error) {
    const int hostHow = how == ShutdownHow::Receive ? SHUT_RD : how == ShutdownHow::Send ? SHUT_WR : SHUT_RDWR;
    return !Failed(shutdown(descriptor, hostHow), error);
}

bool HostSocket::Close(int32_t descriptor, int32_t* error) {
    return !Failed(close(descriptor), error);
}

HostSocket::LookupResult HostSocket::ResolveName(const char* name, std::string* officialName, uint32_t* address) {
    if (IsFailing(Fault::NameLookup)) {
        return LookupResult::NotFound;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* found = nullptr;
    const int code = getaddrinfo(name, nullptr, &hints, &found);
    if (code != 0) {
        return LookupResultOf(code);
    }
    *address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    *officialName = found->ai_canonname != nullptr ? found->ai_canonname : name;
    freeaddrinfo(found);
    return LookupResult::Found;
}

HostSocket::LookupResult HostSocket::ResolveAddress(uint32_t address, std::string* name) {
    if (IsFailing(Fault::AddressLookup)) {
        return LookupResult::NotFound;
    }
    const sockaddr_in target = AddressOf(address, 0);
    char host[NI_MAXHOST];
    const int code = getnameinfo(reinterpret_cast<const sockaddr*>(&target), sizeof(target), host, sizeof(host),
                                 nullptr, 0, NI_NAMEREQD);
    if (code != 0) {
        return LookupResultOf(code);
    }
    *name = host;
    return LookupResult::Found;
}

bool HostSocket::ParseDotted(const char* text, uint32_t* address) {
    const in_addr_t parsed = inet_addr(text);
    if (parsed == INADDR_NONE) {
        return false;
    }
    *address = parsed;
    return true;
}

void HostSocket::SetFault(Fault fault, bool failing) {
    g_failing[static_cast<size_t>(fault)].store(failing);
}

void HostSocket::ClearFaults() {
    for (std::atomic<bool>& failing : g_failing) {
        failing.store(false);
    }
}

bool HostSocket::IsFailing(Fault fault) {
    return g_failing[static_cast<size_t>(fault)].load();
}
