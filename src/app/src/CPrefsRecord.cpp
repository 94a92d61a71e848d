#include "CPrefsRecord.h"

#include "CInputStream.h"
#include "COutputStream.h"
#include "ICCore.h"

namespace {

// The core's settings on a handset that was never configured.
constexpr uint8_t kDefaultSound = 1;
constexpr uint8_t kDefaultSecondFlag = 1;
constexpr uint8_t kDefaultLevelSetting = 3;

}  // namespace

void CPrefsRecord::Reset() {
    const ICCore* core = GetCore();
    for (uint32_t i = kDefaultsFrom; i < kDataBytes; ++i) m_data[i] = 0;
    m_data[kSoundEnabled] = core != nullptr ? (core->IsSoundAllowed() ? 1 : 0) : kDefaultSound;
    m_data[kSecondFlag] = core != nullptr ? core->GetSecondFlag() : kDefaultSecondFlag;
    m_data[kLevelSetting] = core != nullptr ? core->GetSettingByte() : kDefaultLevelSetting;
}

void CPrefsRecord::SetByte(int32_t i, uint8_t value) {
    if (i >= 0 && i < static_cast<int32_t>(kDataBytes)) m_data[i] = value;
}

void CPrefsRecord::WriteData(COutputStream& out) const { out.Write(m_data, kDataBytes); }

void CPrefsRecord::ReadData(CInputStream& in) { in.Read(m_data, kDataBytes); }

void CPrefsRecord::AfterLoad() {
    const ICCore* core = GetCore();
    m_data[kSoundEnabled] = core != nullptr ? (core->IsSoundAllowed() ? 1 : 0) : kDefaultSound;
}
