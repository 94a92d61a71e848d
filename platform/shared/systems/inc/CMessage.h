#ifndef CMESSAGE_H
#define CMESSAGE_H

#include "CEvent.h"

#include <initializer_list>

// One message parameter: a type key, a reserved word and a 32-bit value.
struct CMessageParam {
    // Type key of integer parameters (the hash of "uint32").
    static constexpr uint32_t kIntegerType = 0x013F9702;

    uint32_t type;
    uint32_t reserved;
    uint32_t value;

    static CMessageParam Integer(uint32_t value) { return CMessageParam{kIntegerType, 0, value}; }
};

// An event with up to eight parameters.
class CMessage : public CEvent {
public:
    static constexpr uint32_t kClassKey = 0x7B245719;
    static constexpr int32_t kMaxParams = 8;

    CMessage();
    CMessage(CClass* sender, uint32_t id, uint32_t target, std::initializer_list<CMessageParam> params);

    // Re-initialises an existing message with new fields and parameters.
    void Set(CClass* sender, uint32_t id, uint32_t target, std::initializer_list<CMessageParam> params);

    int32_t GetParamCount() const { return m_paramCount; }
    // Parameter i; an index past the count is reported and answers a zero
    // parameter.
    CMessageParam GetParam(int32_t index) const {
        if (index >= 0 && index < m_paramCount) return m_params[index];
        return ReportBadParam();
    }

private:
    static CMessageParam ReportBadParam();
    void SetParams(std::initializer_list<CMessageParam> params);

    int32_t m_paramCount = 0;
    CMessageParam m_params[kMaxParams] = {};
};

#endif
