#ifndef WINCEWINSOCK_H
#define WINCEWINSOCK_H

// The handset's Winsock 2 calls for IPv4 TCP clients, mapped onto the host's
// sockets (HostSocket). They live in namespace WinSock because the host's C
// library uses the same names. A failing call answers SOCKET_ERROR (or
// INVALID_SOCKET, or null) and leaves its WSA error code where
// WSAGetLastError and GetLastError find it. `send` never raises SIGPIPE: a
// connection the peer has gone from fails with WSAECONNRESET.

#include "WinCeError.h"
#include "WinCeTypes.h"

#include <cstdint>
// The host's select header defines FD_SET and its kin as macros. It is taken
// in here, first, so that the macros can be replaced by Winsock's own below
// and cannot come back later.
#include <sys/select.h>

#undef FD_SETSIZE
#undef FD_ZERO
#undef FD_SET
#undef FD_CLR
#undef FD_ISSET

namespace WinSock {

typedef uintptr_t SOCKET;
typedef uint32_t u_long;

constexpr SOCKET INVALID_SOCKET = ~static_cast<SOCKET>(0);
constexpr int32_t SOCKET_ERROR = -1;

constexpr int32_t AF_INET = 2;
constexpr int32_t SOCK_STREAM = 1;
constexpr int32_t IPPROTO_TCP = 6;
constexpr int32_t SOL_SOCKET = 0xFFFF;
constexpr int32_t SO_ERROR = 0x1007;
constexpr int32_t FIONBIO = static_cast<int32_t>(0x8004667Eu);
constexpr uint32_t INADDR_NONE = 0xFFFFFFFF;
constexpr int32_t SD_RECEIVE = 0;
constexpr int32_t SD_SEND = 1;
constexpr int32_t SD_BOTH = 2;
constexpr uint32_t FD_SETSIZE = 64;

constexpr int32_t WSAEINTR = 10004;
constexpr int32_t WSAEACCES = 10013;
constexpr int32_t WSAEFAULT = 10014;
constexpr int32_t WSAEINVAL = 10022;
constexpr int32_t WSAEMFILE = 10024;
constexpr int32_t WSAEWOULDBLOCK = 10035;
constexpr int32_t WSAEALREADY = 10037;
constexpr int32_t WSAENOTSOCK = 10038;
constexpr int32_t WSAENOPROTOOPT = 10042;
constexpr int32_t WSAEPROTONOSUPPORT = 10043;
constexpr int32_t WSAESOCKTNOSUPPORT = 10044;
constexpr int32_t WSAEOPNOTSUPP = 10045;
constexpr int32_t WSAEAFNOSUPPORT = 10047;
constexpr int32_t WSAEADDRINUSE = 10048;
constexpr int32_t WSAEADDRNOTAVAIL = 10049;
constexpr int32_t WSAENETDOWN = 10050;
constexpr int32_t WSAENETUNREACH = 10051;
constexpr int32_t WSAECONNABORTED = 10053;
constexpr int32_t WSAECONNRESET = 10054;
constexpr int32_t WSAENOBUFS = 10055;
constexpr int32_t WSAEISCONN = 10056;
constexpr int32_t WSAENOTCONN = 10057;
constexpr int32_t WSAETIMEDOUT = 10060;
constexpr int32_t WSAECONNREFUSED = 10061;
constexpr int32_t WSAEHOSTUNREACH = 10065;
constexpr int32_t WSAVERNOTSUPPORTED = 10092;
constexpr int32_t WSANOTINITIALISED = 10093;
constexpr int32_t WSAHOST_NOT_FOUND = 11001;
constexpr int32_t WSATRY_AGAIN = 11002;
constexpr int32_t WSANO_RECOVERY = 11003;

constexpr WORD MAKEWORD(uint8_t low, uint8_t high) {
    return static_cast<WORD>(low | (high << 8));
}

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[257];
    char szSystemStatus[129];
};

// A lookup's answer, valid on the calling thread until its next lookup.
struct hostent {
    char* h_name;
    char** h_aliases;
    int16_t h_addrtype;
    int16_t h_length;
    char** h_addr_list;
};

struct in_addr {
    uint32_t s_addr;
};

struct sockaddr {
    uint16_t sa_family;
    char sa_data[14];
};

struct sockaddr_in {
    int16_t sin_family;
    uint16_t sin_port;
    in_addr sin_addr;
    char sin_zero[8];
};

struct timeval {
    int32_t tv_sec;
    int32_t tv_usec;
};

// A set is a list of sockets, not a bit mask: any socket value fits.
struct fd_set {
    uint32_t fd_count;
    SOCKET fd_array[FD_SETSIZE];
};

// Version 2.2 and below 2.2 down to 1.1 are accepted; every successful
// startup needs its cleanup.
int32_t WSAStartup(WORD version, WSADATA* data);
int32_t WSACleanup();
int32_t WSAGetLastError();

hostent* gethostbyname(const char* name);
// Only AF_INET addresses of 4 bytes.
hostent* gethostbyaddr(const char* address, int32_t length, int32_t type);
uint32_t inet_addr(const char* text);
uint16_t htons(uint16_t value);

// Only AF_INET stream sockets over TCP, and only after WSAStartup.
SOCKET socket(int32_t family, int32_t type, int32_t protocol);
// Only FIONBIO.
int32_t ioctlsocket(SOCKET s, int32_t command, u_long* argument);
// A non-blocking socket answers WSAEWOULDBLOCK while the connection is
// being made.
int32_t connect(SOCKET s, const sockaddr* name, int32_t length);
// The first argument is ignored; a null time-out waits for ever. A socket
// with a pending error (a connect that failed) is reported in the except
// set only. Answers the number of set entries that are ready.
int32_t select(int32_t ignored, fd_set* readSet, fd_set* writeSet, fd_set* exceptSet, const timeval* timeout);
int32_t __WSAFDIsSet(SOCKET s, fd_set* set);
// Flags must be 0.
int32_t send(SOCKET s, const char* buffer, int32_t length, int32_t flags);
int32_t recv(SOCKET s, char* buffer, int32_t length, int32_t flags);
// Only SOL_SOCKET / SO_ERROR, into 4 bytes: the WSA code of the pending
// error, which reading clears.
int32_t getsockopt(SOCKET s, int32_t level, int32_t name, char* value, int32_t* length);
int32_t shutdown(SOCKET s, int32_t how);
int32_t closesocket(SOCKET s);

inline void FdZero(fd_set* set) {
    set->fd_count = 0;
}
// A socket already in the set, or one more than the set holds, is ignored.
void FdSet(SOCKET s, fd_set* set);
void FdClr(SOCKET s, fd_set* set);

}  // namespace WinSock

#define FD_ZERO(set) (WinSock::FdZero(set))
#define FD_SET(s, set) (WinSock::FdSet((s), (set)))
#define FD_CLR(s, set) (WinSock::FdClr((s), (set)))
#define FD_ISSET(s, set) (WinSock::__WSAFDIsSet((s), (set)))

#endif
