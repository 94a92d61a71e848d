#include "CMessage.h"

#include "CAssert.h"

CMessage::CMessage() : CEvent(kClassKey) {}

CMessage::CMessage(CClass* sender, uint32_t id, uint32_t target, std::initializer_list<CMessageParam> params)
    : CEvent(kClassKey) {
    Set(sender, id, target, params);
}

void CMessage::Set(CClass* sender, uint32_t id, uint32_t target, std::initializer_list<CMessageParam> params) {
    SetFields(sender, id, target);
    SetParams(params);
}

void CMessage::SetParams(std::initializer_list<CMessageParam> params) {
    ASSERT(params.size() <= static_cast<size_t>(kMaxParams));
    m_paramCount = 0;
    for (const CMessageParam& param : params) {
        if (m_paramCount == kMaxParams) break;
        m_params[m_paramCount++] = param;
    }
}

CMessageParam CMessage::ReportBadParam() {
    ASSERT(false);
    return CMessageParam{0, 0, 0};
}
