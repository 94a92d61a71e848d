#ifndef CSHADER_MGL_H
#define CSHADER_MGL_H

#include "CShaderInterface.h"
#include "MGLShaderState.h"

// The software renderer's pixel-pipeline object: a cache of up to 30
// ready-made pipeline states loaded from streams, one of which is selected
// by six key words for the renderer context to bind, and for any other kind
// of content a raw payload after three header bytes. The states are owned
// here, never by a context that binds one.
class CShader_MGL : public CShaderInterface {
public:
    static constexpr int32_t kMaxStates = 30;
    static constexpr uint32_t kType = 2;
    // The tag of a stream holding exactly one state image.
    static constexpr uint32_t kStateTag = 0xF4E02223;
    static constexpr uint32_t kHeaderBytes = 3;
    // Raw payloads keep a 16-bit length; a longer one is refused whole
    // rather than kept in part.
    static constexpr uint32_t kMaxPayloadBytes = 0xFFFF;
    // Status after a raw load.
    static constexpr uint32_t kStatusRawLoaded = 2;

    CShader_MGL() = default;
    ~CShader_MGL() override;

    uint32_t GetType() const override { return kType; }
    void Reserved1() override {}
    bool Reserved2(uint32_t) override { return false; }
    // Releases every state, the payload and the selection; the status stays.
    void Unload() override;
    // With the state tag the stream must hold exactly one image (2960
    // bytes), which takes the next free slot; anything else is refused with
    // nothing changed. Any other tag: three header bytes and the payload.
    bool Load(CInputStream* stream, uint32_t tag) override;
    // The selected state's image, or the header bytes and the payload.
    bool Save(COutputStream* stream, uint32_t tag) override;
    uint32_t GetStatus() const override { return m_status; }

    // Selects the lowest-numbered state whose keys 0, 91, 115, 2, 31 and 5
    // equal the six arguments; false, with nothing selected, when none does.
    bool SelectState(int32_t k0, int32_t k91, int32_t k115, int32_t k2, int32_t k31, int32_t k5);
    const MGLShaderState* GetSelectedState() const { return m_selected; }

    int32_t StateCount() const;
    const MGLShaderState* State(int32_t index) const;
    const uint8_t* Payload() const { return m_payload; }
    uint32_t PayloadLength() const { return m_payloadLength; }
    const uint8_t* Header() const { return m_header; }

private:
    bool LoadState(CInputStream* stream);
    bool LoadRaw(CInputStream* stream);
    bool Matches(const MGLShaderState& state, const int32_t keys[6]) const;
    void ReleasePayload();

    uint32_t m_status = 0;
    uint8_t* m_payload = nullptr;
    uint32_t m_payloadLength = 0;
    uint8_t m_header[kHeaderBytes] = {0, 0, 0};
    const MGLShaderState* m_selected = nullptr;
    MGLShaderState* m_states[kMaxStates] = {};
};

#endif
