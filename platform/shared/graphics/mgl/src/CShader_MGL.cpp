#include "CShader_MGL.h"

#include "CAssert.h"
#include "CInputStream.h"
#include "CMemory.h"
#include "COutputStream.h"

CShader_MGL::~CShader_MGL() { CShader_MGL::Unload(); }

void CShader_MGL::Unload() {
    for (MGLShaderState*& state : m_states) {
        delete state;
        state = nullptr;
    }
    ReleasePayload();
    m_header[0] = m_header[1] = m_header[2] = 0;
    m_selected = nullptr;
}

void CShader_MGL::ReleasePayload() {
    if (m_payload != nullptr) FreeMemory(m_payload);
    m_payload = nullptr;
    m_payloadLength = 0;
}

bool CShader_MGL::Load(CInputStream* stream, uint32_t tag) {
    if (stream == nullptr || stream->Available() == 0) return false;
    return tag == kStateTag ? LoadState(stream) : LoadRaw(stream);
}

bool CShader_MGL::LoadState(CInputStream* stream) {
    // A stream of any other length would leave part of the image unset or
    // run past it.
    const uint32_t available = stream->Available();
    if (available != MGLShaderState::kBytes) {
        DebugPrintf("CShader_MGL: a state stream holds %u bytes, not %u", available, MGLShaderState::kBytes);
        return false;
    }
    const int32_t slot = StateCount();
    if (slot >= kMaxStates) {
        DebugPrintf("CShader_MGL: the cache already holds %d states", kMaxStates);
        return false;
    }
    MGLShaderState* state = new MGLShaderState();
    if (state == nullptr) {
        DebugPrintf("CShader_MGL: no memory for a state");
        return false;
    }
    stream->Read(state->bytes, MGLShaderState::kBytes);
    if (stream->HasError()) {
        delete state;
        return false;
    }
    m_states[slot] = state;
    return true;
}

bool CShader_MGL::LoadRaw(CInputStream* stream) {
    const uint32_t available = stream->Available();
    if (available > kHeaderBytes + kMaxPayloadBytes) {
        DebugPrintf("CShader_MGL: refused a raw payload of %u bytes", available - kHeaderBytes);
        return false;
    }
    m_status = kStatusRawLoaded;
    ReleasePayload();
    for (uint8_t& byte : m_header) byte = stream->ReadUInt8();
    const uint32_t length = stream->Available();
    if (length > 0) {
        m_payload = static_cast<uint8_t*>(MemAllocRaw(length));
        if (m_payload == nullptr) {
            DebugPrintf("CShader_MGL: no memory for a raw payload of %u bytes", length);
            Unload();
            return false;
        }
        m_payloadLength = length;
        stream->Read(m_payload, length);
    }
    if (stream->HasError()) {
        Unload();
        return false;
    }
    return true;
}

bool CShader_MGL::Save(COutputStream* stream, uint32_t tag) {
    if (stream == nullptr) return false;
    if (tag == kStateTag) {
        if (m_selected == nullptr) return false;
        stream->Write(m_selected->bytes, MGLShaderState::kBytes);
        return !stream->HasError();
    }
    for (const uint8_t byte : m_header) stream->WriteUInt8(byte);
    if (m_payloadLength > 0) stream->Write(m_payload, m_payloadLength);
    return !stream->HasError();
}

bool CShader_MGL::SelectState(int32_t k0, int32_t k91, int32_t k115, int32_t k2, int32_t k31, int32_t k5) {
    const int32_t keys[6] = {k0, k91, k115, k2, k31, k5};
    m_selected = nullptr;
    for (const MGLShaderState* state : m_states) {
        if (state == nullptr) return false;
        if (Matches(*state, keys)) {
            m_selected = state;
            return true;
        }
    }
    return false;
}

bool CShader_MGL::Matches(const MGLShaderState& state, const int32_t keys[6]) const {
    for (int32_t i = 0; i < 6; ++i) {
        if (static_cast<int32_t>(state.GetKey(MGLShaderState::kSelectionKeys[i])) != keys[i]) return false;
    }
    return true;
}

int32_t CShader_MGL::StateCount() const {
    int32_t count = 0;
    while (count < kMaxStates && m_states[count] != nullptr) ++count;
    return count;
}

const MGLShaderState* CShader_MGL::State(int32_t index) const {
    return index >= 0 && index < kMaxStates ? m_states[index] : nullptr;
}
