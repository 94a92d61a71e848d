#include "WinCeMsgQueue.h"

#include "HostFaults.h"
#include "HostMsgQueue.h"
#include "HostPowerRequest.h"
#include "WinCeError.h"

#include <cstring>
#include <new>
#include <string>

namespace {

template <typename T>
T Fail(DWORD error, T result) {
    SetLastError(error);
    return result;
}

}  // namespace

HANDLE CreateMsgQueue(const char16_t* name, const MSGQUEUEOPTIONS* options) {
    if (options == nullptr || options->dwSize != sizeof(MSGQUEUEOPTIONS) || options->cbMaxMessage == 0) {
        return Fail<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    }
    if (HostFaults::IsSet(HostFault::CreateMsgQueue)) return Fail<HANDLE>(ERROR_OUTOFMEMORY, nullptr);
    const std::u16string queueName = name == nullptr ? std::u16string() : std::u16string(name);
    HostMsgQueue* created = new (std::nothrow)
        HostMsgQueue(queueName, options->dwMaxMessages, options->cbMaxMessage, options->bReadAccess != 0);
    if (created == nullptr) return Fail<HANDLE>(ERROR_OUTOFMEMORY, nullptr);
    return HostHandle::Publish(created);
}

BOOL ReadMsgQueue(HANDLE queue, void* buffer, DWORD size, DWORD* bytesRead, DWORD, DWORD* flags) {
    HostMsgQueue* reader = HostMsgQueue::FromHandle(queue);
    if (reader == nullptr || !reader->CanRead()) return Fail<BOOL>(ERROR_INVALID_HANDLE, 0);
    if (buffer == nullptr || bytesRead == nullptr) return Fail<BOOL>(ERROR_INVALID_PARAMETER, 0);
    HostMsgQueue::Store& store = *reader->GetStore();
    if (store.messages.empty()) return Fail<BOOL>(ERROR_TIMEOUT, 0);
    const std::vector<uint8_t> message = std::move(store.messages.front());
    store.messages.pop_front();
    if (message.size() > size) return Fail<BOOL>(ERROR_INSUFFICIENT_BUFFER, 0);
    if (!message.empty()) std::memcpy(buffer, message.data(), message.size());
    *bytesRead = static_cast<DWORD>(message.size());
    if (flags != nullptr) *flags = 0;
    return 1;
}

BOOL WriteMsgQueue(HANDLE queue, const void* data, DWORD size, DWORD, DWORD) {
    HostMsgQueue* writer = HostMsgQueue::FromHandle(queue);
    if (writer == nullptr || writer->CanRead()) return Fail<BOOL>(ERROR_INVALID_HANDLE, 0);
    if (data == nullptr && size != 0) return Fail<BOOL>(ERROR_INVALID_PARAMETER, 0);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (!writer->GetStore()->Append(bytes, size)) {
        return Fail<BOOL>(size > writer->GetStore()->maxMessageSize ? ERROR_INSUFFICIENT_BUFFER : ERROR_TIMEOUT, 0);
    }
    return 1;
}

BOOL CloseMsgQueue(HANDLE queue) {
    if (HostMsgQueue::FromHandle(queue) == nullptr) return Fail<BOOL>(ERROR_INVALID_HANDLE, 0);
    return HostHandle::Release(queue) ? 1 : 0;
}

HANDLE RequestPowerNotifications(HANDLE queue, DWORD flags) {
    const HostMsgQueue* target = HostMsgQueue::FromHandle(queue);
    if (target == nullptr) return Fail<HANDLE>(ERROR_INVALID_HANDLE, nullptr);
    if (HostFaults::IsSet(HostFault::RequestPowerNotifications)) return Fail<HANDLE>(ERROR_OUTOFMEMORY, nullptr);
    HostPowerRequest* request = new (std::nothrow) HostPowerRequest(target->GetStore(), flags);
    if (request == nullptr) return Fail<HANDLE>(ERROR_OUTOFMEMORY, nullptr);
    return HostHandle::Publish(request);
}

DWORD StopPowerNotifications(HANDLE notification) {
    if (HostPowerRequest::FromHandle(notification) == nullptr) return ERROR_INVALID_HANDLE;
    HostHandle::Release(notification);
    return ERROR_SUCCESS;
}
