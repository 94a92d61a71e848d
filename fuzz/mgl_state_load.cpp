// The pipeline-state loader on any stream: as a state image and as raw
// content. A load succeeds exactly for a 2960-byte state stream or raw
// content of 3 to 3 + 65535 bytes, what is loaded saves back byte for byte,
// a loaded state is found again by its own selection keys, and binding it
// leaves the context's interpolant fields inside the record's arrays or
// binds no state at all.

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "CArrayInputStream.h"
#include "CArrayOutputStream.h"
#include "CShader_MGL.h"
#include "FuzzCheck.h"
#include "MGLContext.h"

namespace {

constexpr uint32_t kRawTag = 0x5245574B;

std::vector<uint8_t> Saved(CShader_MGL& shader, uint32_t tag, size_t capacity) {
    std::vector<uint8_t> out(capacity + 1);
    CArrayOutputStream stream;
    stream.Open(out.data(), static_cast<uint32_t>(out.size()));
    if (!shader.Save(&stream, tag)) return {};
    out.resize(stream.GetPosition());
    return out;
}

bool SameBytes(const std::vector<uint8_t>& saved, const uint8_t* data, size_t size) {
    return saved.size() == size && (size == 0 || std::memcmp(saved.data(), data, size) == 0);
}

void CheckBinding(const MGLContext& context, bool bound) {
    const MGLRecord& s = context.Record();
    if (!bound) {
        Check(s.spanCode == 0 && context.SpanCode() == nullptr);
        Check(s.numInterpolants == 0 && s.numExtraInterpolants == 0 && s.depthInterpolant == -1);
        Check(s.fillMode == MGLContext::kFillPolygonFirst);
        return;
    }
    Check(context.SpanCode() != nullptr);
    Check(s.fillMode >= MGLContext::kFillPolygonFirst && s.fillMode <= MGLContext::kFillTriangleLast);
    Check(s.numInterpolants >= 0 && s.numExtraInterpolants >= 0);
    Check(s.numInterpolants + s.numExtraInterpolants <= static_cast<int32_t>(MGLRecord::kInterpolantWords));
    if (s.fillMode <= MGLContext::kFillPolygonLast) Check(s.numInterpolants <= MGLContext::kMaxEdgeInterpolants);
    Check(s.depthInterpolant >= -1 && s.depthInterpolant < s.numInterpolants);
}

void LoadAsState(const uint8_t* data, size_t size) {
    static MGLContext* context = new MGLContext();
    CArrayInputStream stream;
    stream.Open(data, static_cast<uint32_t>(size));
    CShader_MGL shader;
    const bool loaded = shader.Load(&stream, CShader_MGL::kStateTag);
    Check(loaded == (size == MGLShaderState::kBytes));
    Check(shader.StateCount() == (loaded ? 1 : 0));
    if (!loaded) return;
    const MGLShaderState& state = *shader.State(0);
    int32_t keys[6];
    for (int32_t i = 0; i < 6; ++i) keys[i] = static_cast<int32_t>(state.GetKey(MGLShaderState::kSelectionKeys[i]));
    Check(shader.SelectState(keys[0], keys[1], keys[2], keys[3], keys[4], keys[5]));
    Check(SameBytes(Saved(shader, CShader_MGL::kStateTag, size), data, size));
    CheckBinding(*context, context->BindShaderState(shader.GetSelectedState()));
    shader.Unload();
    // The context bound a copy: it outlives the shader's states.
    if (context->SpanCode() != nullptr) Check(std::memcmp(context->SpanCode(), data + 4, 4) == 0);
    context->BindShaderState(nullptr);
    CheckBinding(*context, false);
}

void LoadAsRaw(const uint8_t* data, size_t size) {
    CArrayInputStream stream;
    stream.Open(data, static_cast<uint32_t>(size));
    CShader_MGL shader;
    const bool loaded = shader.Load(&stream, kRawTag);
    const size_t header = CShader_MGL::kHeaderBytes;
    const bool fits = size >= header && size <= header + CShader_MGL::kMaxPayloadBytes;
    Check(loaded == fits);
    if (loaded) Check(SameBytes(Saved(shader, kRawTag, size), data, size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    LoadAsState(data, size);
    LoadAsRaw(data, size);
    return 0;
}
