#include "CShownMenuPage.h"

void CShownMenuPage::Remember(uint64_t pageSerial, uint64_t screenSerial, uint64_t movingDigest) {
    m_known = true;
    m_pageSerial = pageSerial;
    m_screenSerial = screenSerial;
    m_movingDigest = movingDigest;
}

bool CShownMenuPage::StillShows(uint64_t pageSerial, uint64_t screenSerial) const {
    return m_known && pageSerial == m_pageSerial && screenSerial == m_screenSerial;
}
