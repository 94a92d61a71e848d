#include "MGLContext.h"

#include <utility>

#include "CMathFixed.h"
#include "MGLContextCore.h"
#include "MGLFixed.h"

namespace {

constexpr int32_t ONE = CMathFixed::ONE;
constexpr int32_t kModePerspective = 0;
constexpr int32_t kModeOrthographic = 1;
// Depth-range arguments (16.16) are kept with 27 fraction bits.
constexpr int32_t kDepthRangeShift = 11;
// The largest depth-range value: 1.0 less one unit of 2^-27.
constexpr int32_t kDepthRangeMax = 0x7FFFFFF;
// A far argument from this on does not fit 27 fraction bits.
constexpr int32_t kDepthRangeFarLimit = 1 << 20;
// N >> 8 keeps W x N within 32 bits; the reciprocal's shift gives the 8 back.
constexpr int32_t kFocalPreShift = 8;

Matrix3x4 IdentityMatrix() {
    Matrix3x4 identity{};
    identity.Identity();
    return identity;
}

}  // namespace

void MGLContext::ResetMatrixStacks() {
    const Matrix3x4 identity = IdentityMatrix();
    ModelviewStack().Reset(identity);
    TextureStack().Reset(identity);
    AuxStack().Reset(identity);
}

// No operation of the renderer fills the 2D stack, but the screen-space
// draws read its top: it starts with one identity matrix.
void MGLContext::ResetStack2d() { Stack2d().Reset(Matrix2x3{ONE, 0, 0, ONE, 0, 0}); }

bool MGLContext::PushTransform(const Matrix3x3* rotation, const int32_t* translation) {
    MatrixStack stack = ModelviewStack();
    if (!stack.Push()) return false;
    if (translation != nullptr) stack.Translate(translation);
    if (rotation != nullptr) stack.Rotate(*rotation);
    return true;
}

bool MGLContext::PushInverseTransform(const Matrix3x4& m) {
    Matrix3x4 inverse = m;
    int32_t translation[3];
    inverse.InverseTransformPoint(0, 0, 0, translation);
    inverse.Transpose3x3();
    return PushTransform(&inverse.r, translation);
}

void MGLContext::SetViewport(int32_t x, int32_t y, int32_t w, int32_t h, int32_t n, int32_t f) {
    m_record.viewport_X = x;
    m_record.viewport_Y = y;
    m_record.viewport_W = w;
    m_record.viewport_H = h;
    m_record.depthrange_n = WrapShiftLeft(n, kDepthRangeShift);
    // A far value of 1.0 or more would wrap; it saturates instead, as a
    // shifted value that turns negative always did.
    const int32_t far = WrapShiftLeft(f, kDepthRangeShift);
    m_record.depthrange_f = far < 0 || f >= kDepthRangeFarLimit ? kDepthRangeMax : far;
    BoundScissor();
}

// The scissor keeps every draw inside the planes: a viewport reaching past
// the target draws only its inside part.
void MGLContext::BoundScissor() {
    MGLRecord& s = m_record;
    s.scissorx0 = s.viewport_X;
    s.scissory0 = s.viewport_Y;
    s.scissorx1 = WrapAdd(s.viewport_X, s.viewport_W);
    s.scissory1 = WrapAdd(s.viewport_Y, s.viewport_H);
    const int32_t width = TargetWidth();
    const int32_t height = TargetHeight();
    if (width == 0 && height == 0) return;
    s.scissorx0 = CMathFixed::Clamp(s.scissorx0, 0, width);
    s.scissorx1 = CMathFixed::Clamp(s.scissorx1, 0, width);
    s.scissory0 = CMathFixed::Clamp(s.scissory0, 0, height);
    s.scissory1 = CMathFixed::Clamp(s.scissory1, 0, height);
}

void MGLContext::SetOrtho(int32_t l, int32_t r, int32_t b, int32_t t, int32_t n, int32_t f) {
    SetProjection(kModeOrthographic, l, r, b, t, n, f);
}

void MGLContext::SetFrustum(int32_t l, int32_t r, int32_t b, int32_t t, int32_t n, int32_t f) {
    SetProjection(kModePerspective, l, r, b, t, n, f);
}

void MGLContext::SetProjection(int32_t mode, int32_t l, int32_t r, int32_t b, int32_t t, int32_t n, int32_t f) {
    m_record.projection_matrix_mode = mode;
    m_record.frustum_L = l;
    m_record.frustum_R = r;
    m_record.frustum_B = b;
    m_record.frustum_T = t;
    m_record.frustum_N = n;
    m_record.frustum_F = f;
    MatrixStack stack = ModelviewStack();
    Matrix3x4 top = stack.Top();
    top.orthographic = mode == kModeOrthographic ? 1 : 0;
    stack.SetTop(top);
}

// origin << 16 + (size >> 1) x (1.0 - (high + low) / (high - low)): the
// product is a whole half-size times a 16.16 factor, in 32 bits.
int32_t MGLContext::ViewportOffset(int32_t origin, int32_t size, int32_t low, int32_t high) const {
    const int32_t centre = m_core->Divide(WrapAdd(high, low), WrapSub(high, low));
    return WrapAdd(WrapShiftLeft(origin, 16), WrapMul(size >> 1, WrapSub(ONE, centre)));
}

void MGLContext::UpdateProjection(uint32_t withClipBounds) {
    const bool clipBounds = (withClipBounds & 0xFFu) != 0;
    // Any mode but 0 is orthographic, as the projection stage reads it.
    const int32_t mode = m_record.projection_matrix_mode;
    if (mode == kModePerspective) {
        UpdatePerspective(clipBounds);
    } else {
        UpdateOrthographic(clipBounds);
    }
    FinishProjection(mode);
}

void MGLContext::UpdatePerspective(bool withClipBounds) {
    MGLRecord& s = m_record;
    const int32_t l = s.frustum_L, r = s.frustum_R, b = s.frustum_B, t = s.frustum_T;
    const int32_t n = s.frustum_N, f = s.frustum_F;
    const MGLContextCore& core = *m_core;
    const MGLReciprocal width = core.Reciprocal(WrapSub(r, l));
    const MGLReciprocal height = core.Reciprocal(WrapSub(t, b));
    s.cfx0 = ViewportOffset(s.viewport_X, s.viewport_W, l, r);
    s.cfx1 = FixedMulShift(width.entry, WrapMul(s.viewport_W, n >> kFocalPreShift), width.shift - kFocalPreShift);
    s.cfy0 = ViewportOffset(s.viewport_Y, s.viewport_H, b, t);
    s.cfy1 = FixedMulShift(height.entry, WrapMul(s.viewport_H, n >> kFocalPreShift), height.shift - kFocalPreShift);
    const int32_t depth = WrapSub(f, n);
    const int32_t farRatio = core.Divide(f, depth);
    s.cfz0 = WrapSub(FixedMul16(farRatio, s.depthrange_n), FixedMul16(n, core.Divide(s.depthrange_f, depth)));
    s.cfz1 = FixedMulShift(farRatio, FixedMulShift(n, WrapSub(s.depthrange_f, s.depthrange_n), 32), 16);
    if (!withClipBounds) return;
    s.ccx0 = core.Divide(l, n);
    s.ccx1 = core.Divide(r, n);
    s.ccy0 = core.Divide(b, n);
    s.ccy1 = core.Divide(t, n);
    s.ccz0 = WrapNeg(f);
    s.ccz1 = WrapNeg(n);
}

void MGLContext::UpdateOrthographic(bool withClipBounds) {
    const MGLContextCore& core = *m_core;
    MGLRecord& s = m_record;
    const int32_t l = s.frustum_L, r = s.frustum_R, b = s.frustum_B, t = s.frustum_T;
    const int32_t n = s.frustum_N, f = s.frustum_F;
    s.cfx0 = ViewportOffset(s.viewport_X, s.viewport_W, l, r);
    s.cfx1 = core.Divide(WrapShiftLeft(s.viewport_W, 16), WrapSub(r, l));
    s.cfy0 = ViewportOffset(s.viewport_Y, s.viewport_H, b, t);
    s.cfy1 = core.Divide(WrapShiftLeft(s.viewport_H, 16), WrapSub(t, b));
    const int32_t depth = WrapSub(f, n);
    s.cfz0 = WrapSub(FixedMul16(core.Divide(f, depth), s.depthrange_f),
                     core.Divide(FixedMul16(n, s.depthrange_n), depth));
    s.cfz1 = WrapNeg(core.Divide(WrapSub(s.depthrange_f, s.depthrange_n), depth));
    if (!withClipBounds) return;
    s.ccx0 = l;
    s.ccx1 = r;
    s.ccy0 = b;
    s.ccy1 = t;
    s.ccz0 = WrapNeg(f);
    s.ccz1 = WrapNeg(n);
}

// Screen rows grow downwards: y is mirrored, and the orthographic offset
// moves by one viewport height to match.
void MGLContext::FinishProjection(int32_t mode) {
    MGLRecord& s = m_record;
    const bool swapped = s.ccy1 < s.ccy0;
    if (swapped) std::swap(s.ccy0, s.ccy1);
    s.cfy1 = WrapNeg(s.cfy1);
    if (mode == kModePerspective) return;
    const int32_t height = WrapShiftLeft(s.viewport_H, 16);
    s.cfy0 = swapped ? WrapSub(s.cfy0, height) : WrapAdd(s.cfy0, height);
}
