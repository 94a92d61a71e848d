#include "HostDeviceRecord.h"

HostDeviceRecord& HostDeviceRecord::Get() {
    static HostDeviceRecord record;
    return record;
}

void HostDeviceRecord::Reset() { Get() = HostDeviceRecord(); }
