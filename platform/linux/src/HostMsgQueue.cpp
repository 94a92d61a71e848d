#include "HostMsgQueue.h"

#include <map>

namespace {

std::map<std::u16string, std::weak_ptr<HostMsgQueue::Store>>& NamedStores() {
    static std::map<std::u16string, std::weak_ptr<HostMsgQueue::Store>> stores;
    return stores;
}

std::shared_ptr<HostMsgQueue::Store> OpenStore(const std::u16string& name, uint32_t maxMessages,
                                               uint32_t maxMessageSize) {
    if (!name.empty()) {
        std::shared_ptr<HostMsgQueue::Store> existing = NamedStores()[name].lock();
        if (existing) return existing;
    }
    auto store = std::make_shared<HostMsgQueue::Store>();
    store->maxMessages = maxMessages;
    store->maxMessageSize = maxMessageSize;
    if (!name.empty()) NamedStores()[name] = store;
    return store;
}

}  // namespace

bool HostMsgQueue::Store::Append(const uint8_t* data, uint32_t size) {
    if (size > maxMessageSize || (maxMessages != 0 && messages.size() >= maxMessages)) return false;
    messages.emplace_back(data, data + size);
    return true;
}

HostMsgQueue::HostMsgQueue(const std::u16string& name, uint32_t maxMessages, uint32_t maxMessageSize,
                           bool readAccess)
    : m_store(OpenStore(name, maxMessages, maxMessageSize)), m_readAccess(readAccess) {}

HostMsgQueue* HostMsgQueue::FromHandle(HANDLE handle) { return dynamic_cast<HostMsgQueue*>(HostHandle::Find(handle)); }
