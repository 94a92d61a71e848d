#ifndef HOSTMSGQUEUE_H
#define HOSTMSGQUEUE_H

#include "HostHandle.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// One handle on a message queue: the reading or the writing end.
class HostMsgQueue : public HostHandle {
public:
    // The messages of one queue, shared by the handles opened on its name.
    struct Store {
        std::deque<std::vector<uint8_t>> messages;
        uint32_t maxMessages = 0;
        uint32_t maxMessageSize = 0;

        // False when the message is too large or the queue is full.
        bool Append(const uint8_t* data, uint32_t size);
    };

    // The queue of `name` (a new one when no handle holds it; an empty name
    // always makes a new one). The limits of the first opener hold.
    HostMsgQueue(const std::u16string& name, uint32_t maxMessages, uint32_t maxMessageSize, bool readAccess);
    ~HostMsgQueue() override = default;

    static HostMsgQueue* FromHandle(HANDLE handle);

    bool CanRead() const { return m_readAccess; }
    const std::shared_ptr<Store>& GetStore() const { return m_store; }

private:
    std::shared_ptr<Store> m_store;
    bool m_readAccess;
};

#endif
