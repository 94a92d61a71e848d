// device.conf and softkey.conf readers on arbitrary bytes: they end, keep
// every text inside its block and the remap table inside its limit.

#include <cstdint>
#include <cstdlib>

#include "CConfigReader.h"
#include "CDeviceConfig.h"
#include "FuzzCheck.h"
#include "WideStr.h"

namespace {

constexpr uint32_t kCapacity[] = {CDeviceConfig::kTextUnits,  CDeviceConfig::kTextUnits,  CDeviceConfig::kTextUnits,
                                  CDeviceConfig::kTextUnits,  CDeviceConfig::kVersionUnits, CDeviceConfig::kTextUnits,
                                  CDeviceConfig::kTextUnits,  CDeviceConfig::kTextUnits,  CDeviceConfig::kTextUnits,
                                  CDeviceConfig::kTextUnits,  CDeviceConfig::kTextUnits,  CDeviceConfig::kTextUnits,
                                  CDeviceConfig::kTextUnits,  CDeviceConfig::kKeyTextUnits, CDeviceConfig::kKeyTextUnits,
                                  CDeviceConfig::kKeyTextUnits, CDeviceConfig::kKeyTextUnits, CDeviceConfig::kKeyTextUnits,
                                  CDeviceConfig::kKeyTextUnits, CDeviceConfig::kKeyTextUnits, CDeviceConfig::kKeyTextUnits,
                                  CDeviceConfig::kKeyTextUnits, CDeviceConfig::kKeyTextUnits};
static_assert(sizeof(kCapacity) / sizeof(kCapacity[0]) == CDeviceConfig::kTextCount);

void CheckDevice(const CDeviceConfig& config) {
    for (int32_t text = 0; text < CDeviceConfig::kTextCount; ++text) {
        const WChar* value = config.GetText(static_cast<CDeviceConfig::Text>(text));
        if (value != nullptr) Check(WideStrLen(value) < kCapacity[text]);
    }
    int32_t count = -1;
    const DeviceKeyMapping* table = config.GetRemapTable(&count);
    Check(count >= 0 && count <= CDeviceConfig::kMaxRemapEntries);
    Check((count == 0) == (table == nullptr));
    const int32_t level = config.GetForcedBackgroundLevel();
    Check(level >= -1 && level <= CDeviceConfig::kBackgroundLevelMax);
    const int32_t orientation = config.GetOrientationSupport();
    Check(orientation >= CDeviceConfig::kBothOrientations && orientation <= CDeviceConfig::kLandscapeOnly);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t length = size > 0xFFFFFF ? 0xFFFFFF : static_cast<uint32_t>(size);
    CDeviceConfig device;
    CConfigReader deviceReader(data, length);
    device.ParseDevice(deviceReader);
    CheckDevice(device);
    CDeviceConfig softkeys;
    CConfigReader softkeyReader(data, length);
    softkeys.ParseSoftkeys(softkeyReader);
    return 0;
}
