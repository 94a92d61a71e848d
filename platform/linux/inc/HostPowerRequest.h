#ifndef HOSTPOWERREQUEST_H
#define HOSTPOWERREQUEST_H

#include "HostMsgQueue.h"

#include <string>

// A request for power notifications into a message queue, alive until it is
// stopped. The device's power events (from tests and the backends) are
// broadcast to every live request.
class HostPowerRequest : public HostHandle {
public:
    HostPowerRequest(std::shared_ptr<HostMsgQueue::Store> store, uint32_t kinds);
    ~HostPowerRequest() override;

    static HostPowerRequest* FromHandle(HANDLE handle);

    // Writes a power message {kind, flags, name} into the queue of every
    // request that asked for this kind; a full queue misses it. Returns how
    // many queues took it.
    static int32_t Broadcast(uint32_t kind, uint32_t flags, const std::u16string& stateName);

private:
    std::shared_ptr<HostMsgQueue::Store> m_store;
    uint32_t m_kinds;
};

#endif
