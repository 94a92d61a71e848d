#ifndef WINCEMSGQUEUE_H
#define WINCEMSGQUEUE_H

// The handset's point-to-point message queues and its power notifications,
// in process. Handles opened on the same name share one queue while any of
// them is open; each handle either reads or writes. A power notification
// request makes the system write power messages into a queue; tests and the
// backends produce them with HostPowerRequest::Broadcast.

#include "WinCeHandle.h"

#include <cstdint>

struct MSGQUEUEOPTIONS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwMaxMessages;
    DWORD cbMaxMessage;
    BOOL bReadAccess;
};

constexpr DWORD INFINITE = 0xFFFFFFFF;

// Power notification kinds.
constexpr DWORD PBT_TRANSITION = 0x00000001;
constexpr DWORD PBT_RESUME = 0x00000002;
constexpr DWORD PBT_POWERINFOCHANGE = 0x00000100;

// Power state flags of a transition message.
constexpr DWORD POWER_STATE_ON = 0x00010000;
constexpr DWORD POWER_STATE_OFF = 0x00020000;
constexpr DWORD POWER_STATE_IDLE = 0x00100000;
constexpr DWORD POWER_STATE_SUSPEND = 0x00200000;
constexpr DWORD POWER_STATE_UNATTENDED = 0x00400000;
constexpr DWORD POWER_STATE_USERIDLE = 0x01000000;

// A power message as it lies in the queue: three little-endian words, then
// the name of the new power state in UTF-16, terminated, whose size in bytes
// (terminator included) is Length.
struct POWER_BROADCAST {
    DWORD Message;
    DWORD Flags;
    DWORD Length;
    char16_t SystemPowerState[1];
};

// Null on failure: no options, a wrong dwSize or a zero cbMaxMessage.
// dwMaxMessages 0 means no limit. A null name makes a queue of its own.
HANDLE CreateMsgQueue(const char16_t* name, const MSGQUEUEOPTIONS* options);
// Takes the oldest message. FALSE with ERROR_TIMEOUT when the queue is empty
// (nothing else could fill it while this thread waits), with
// ERROR_INSUFFICIENT_BUFFER when the message is larger than the buffer (the
// message is dropped), with ERROR_INVALID_HANDLE for a handle that cannot
// read.
BOOL ReadMsgQueue(HANDLE queue, void* buffer, DWORD size, DWORD* bytesRead, DWORD timeoutMs, DWORD* flags);
// FALSE for a handle that cannot write, a message larger than the queue's
// cbMaxMessage, or a full queue.
BOOL WriteMsgQueue(HANDLE queue, const void* data, DWORD size, DWORD timeoutMs, DWORD flags);
BOOL CloseMsgQueue(HANDLE queue);

// Null when `queue` is no message queue. The handle ends the request with
// StopPowerNotifications, which answers ERROR_SUCCESS or
// ERROR_INVALID_HANDLE.
HANDLE RequestPowerNotifications(HANDLE queue, DWORD flags);
DWORD StopPowerNotifications(HANDLE notification);

#endif
