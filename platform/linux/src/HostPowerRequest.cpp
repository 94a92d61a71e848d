#include "HostPowerRequest.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<HostPowerRequest*>& LiveRequests() {
    static std::vector<HostPowerRequest*> requests;
    return requests;
}

void AppendWord(std::vector<uint8_t>& bytes, uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(word >> shift));
}

std::vector<uint8_t> PowerMessage(uint32_t kind, uint32_t flags, const std::u16string& stateName) {
    std::vector<uint8_t> bytes;
    const uint32_t nameBytes = static_cast<uint32_t>((stateName.size() + 1) * sizeof(char16_t));
    AppendWord(bytes, kind);
    AppendWord(bytes, flags);
    AppendWord(bytes, nameBytes);
    for (char16_t unit : stateName) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

}  // namespace

HostPowerRequest::HostPowerRequest(std::shared_ptr<HostMsgQueue::Store> store, uint32_t kinds)
    : m_store(std::move(store)), m_kinds(kinds) {
    LiveRequests().push_back(this);
}

HostPowerRequest::~HostPowerRequest() {
    std::vector<HostPowerRequest*>& requests = LiveRequests();
    requests.erase(std::remove(requests.begin(), requests.end(), this), requests.end());
}

HostPowerRequest* HostPowerRequest::FromHandle(HANDLE handle) {
    return dynamic_cast<HostPowerRequest*>(HostHandle::Find(handle));
}

int32_t HostPowerRequest::Broadcast(uint32_t kind, uint32_t flags, const std::u16string& stateName) {
    const std::vector<uint8_t> message = PowerMessage(kind, flags, stateName);
    int32_t delivered = 0;
    for (HostPowerRequest* request : LiveRequests()) {
        if ((request->m_kinds & kind) == 0) continue;
        if (request->m_store->Append(message.data(), static_cast<uint32_t>(message.size()))) ++delivered;
    }
    return delivered;
}
