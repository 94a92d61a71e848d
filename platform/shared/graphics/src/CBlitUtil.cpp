#include "CBlitUtil.h"

#include "CAssert.h"

CBlitUtil::CBlitUtil() : CSingleton(kClassKey), m_count(0), m_entries{} {}

CBlitUtil* CBlitUtil::GetInstance() {
    // Without a singleton table a new registry could not be found again and
    // every call would make another one.
    if (CSingleton::GetTable() == nullptr) return nullptr;
    CSingleton* found = CSingleton::GetInstance(kClassKey);
    if (found != nullptr) return static_cast<CBlitUtil*>(found);
    CBlitUtil* created = new CBlitUtil();
    // One the table could not take would be made again on every call.
    if (created != nullptr && CSingleton::GetInstance(kClassKey) != created) {
        delete created;
        return nullptr;
    }
    return created;
}

void CBlitUtil::RegisterBlitter(uint32_t sourceFormat, uint32_t destFormat, uint32_t mode, uint32_t option1,
                                uint32_t option2, uint32_t kind, BlitRoutine routine) {
    CBlitUtil* registry = GetInstance();
    ASSERT(registry != nullptr);
    if (registry == nullptr) return;
    ASSERT(registry->m_count < kCapacity);
    ASSERT(routine != nullptr);
    if (registry->m_count >= kCapacity || routine == nullptr) return;
    registry->Append({sourceFormat, destFormat, mode, option1, option2, kind, routine});
}

bool CBlitUtil::FindBlitter(BlitEntry* request) {
    CBlitUtil* registry = GetInstance();
    ASSERT(registry != nullptr);
    const BlitEntry* match = registry != nullptr ? registry->Match(*request) : nullptr;
    request->routine = match != nullptr ? match->routine : nullptr;
    return match != nullptr;
}

uint32_t CBlitUtil::FoldBlendCode(uint32_t option2) {
    switch (option2) {
        case 2:
        case 5:
            return 1;
        case 4:
            return 3;
        default:
            return option2;
    }
}

const BlitEntry* CBlitUtil::GetEntry(int32_t index) const {
    if (index < 0 || index >= m_count) return nullptr;
    return &m_entries[index];
}

void CBlitUtil::Append(const BlitEntry& entry) { m_entries[m_count++] = entry; }

const BlitEntry* CBlitUtil::Match(const BlitEntry& request) const {
    const uint32_t blendCode = FoldBlendCode(request.option2);
    for (int32_t i = 0; i < m_count; ++i) {
        const BlitEntry& e = m_entries[i];
        if ((e.sourceFormat == 0 || e.sourceFormat == request.sourceFormat) && e.destFormat == request.destFormat &&
            e.mode == request.mode && e.option1 == request.option1 && e.kind == request.kind &&
            e.option2 == blendCode) {
            return &e;
        }
    }
    return nullptr;
}
