#ifndef HOSTSOCKET_H
#define HOSTSOCKET_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The host's IPv4 TCP sockets, for the Winsock stand-in. Descriptors are the
// host's; addresses and ports are in network byte order. Failing calls give
// the host's error number (errno) through `error`.
class HostSocket {
public:
    // Name lookups a test can make fail; they then fail as "not found".
    enum class Fault { NameLookup, AddressLookup, Count };
    enum class LookupResult { Found, NotFound, TryAgain, Failed };
    enum class ShutdownHow { Receive, Send, Both };

    // One socket of a readiness poll: what is asked, and what was found.
    struct PollEntry {
        int32_t descriptor;
        bool wantRead;
        bool wantWrite;
        bool wantError;
        bool readable;
        bool writable;
        // An error is pending (a failed connect among others).
        bool failed;
        bool invalid;
    };

    static int32_t OpenTcp(int32_t* error);
    static bool SetNonBlocking(int32_t descriptor, bool nonBlocking, int32_t* error);
    static bool Connect(int32_t descriptor, uint32_t address, uint16_t port, int32_t* error);
    // Waits up to `timeoutMs` (negative: no limit) for any entry to be
    // ready and fills in the findings. False on failure.
    static bool Poll(std::vector<PollEntry>* entries, int32_t timeoutMs, int32_t* error);
    // Never raises SIGPIPE. -1 on failure.
    static int64_t Send(int32_t descriptor, const void* data, size_t length, int32_t* error);
    static int64_t Receive(int32_t descriptor, void* buffer, size_t capacity, int32_t* error);
    // The pending error of the socket, cleared by reading it.
    static bool TakePendingError(int32_t descriptor, int32_t* pending, int32_t* error);
    static bool Shutdown(int32_t descriptor, ShutdownHow how, int32_t* error);
    static bool Close(int32_t descriptor, int32_t* error);

    // The first IPv4 address of a name or of dotted numbers, and the
    // canonical name.
    static LookupResult ResolveName(const char* name, std::string* officialName, uint32_t* address);
    // The name of an address.
    static LookupResult ResolveAddress(uint32_t address, std::string* name);
    // Dotted numbers in any of the classic forms; false when the text is
    // none (or is 255.255.255.255, which cannot be told from none).
    static bool ParseDotted(const char* text, uint32_t* address);

    static void SetFault(Fault fault, bool failing);
    static void ClearFaults();

private:
    static bool IsFailing(Fault fault);
};

#endif
