#include "CResourceShader.h"

#include "RendererHooks.h"

namespace {

// A shader object of this platform would load itself; there is none to ask.
bool RefuseShaderData(CClass*, CInputStream&, uint32_t) { return false; }

}  // namespace

uint32_t CResourceShader::GetSize() const { return GetObject() != nullptr ? 8 : 0; }

int32_t CResourceShader::Create(uint32_t handle, CInputStream* stream, uint32_t typeKey) {
    return BuildPayload(handle, stream, typeKey, CreateShaderObject(kShaderKind), RefuseShaderData);
}
