#include "MGLContext.h"

#include <algorithm>
#include <cstring>

#include "CAssert.h"
#include "CColor.h"
#include "CGraphics.h"
#include "CMathFixed.h"
#include "CPixelChannels.h"
#include "CRenderSurface.h"
#include "CRenderSurfaceBuffer.h"
#include "MGLBufferSlots.h"
#include "MGLContextCore.h"
#include "MGLHost.h"
#include "MGLPixelFormat.h"
#include "MGLTextureUnit.h"

namespace {

constexpr uint32_t kDepthBytes = 4;

// The formats a colour clear has a rule for.
constexpr uint32_t kClearableFormats[] = {
    RSBFormat_A8R8G8B8, RSBFormat_ARGB_FIXED, RSBFormat_L8,       RSBFormat_A8L8,
    RSBFormat_Z32,      RSBFormat_R8G8B8,     RSBFormat_R4G4B4,   RSBFormat_R5G6B5,
    RSBFormat_A1R5G5B5, RSBFormat_A4R4G4B4,   RSBFormat_X14R6G6B6};

bool HasClearRule(uint32_t format) {
    for (const uint32_t clearable : kClearableFormats) {
        if (clearable == format) return true;
    }
    return false;
}

// A plane format's low bits: its bytes per pixel.
constexpr uint32_t kPixelBytesMask = 31;

int32_t Smaller(int32_t a, int32_t b) { return a < b ? a : b; }

// Repeats `pattern` (bytes long) over the first `length` bytes of a row (a
// whole number of patterns): the pattern once, then what is filled so far
// copied after itself, so a row takes a few block copies, not one per pixel.
void FillRow(uint8_t* row, const uint8_t* pattern, size_t bytes, size_t length) {
    std::memcpy(row, pattern, bytes);
    for (size_t filled = bytes; filled < length;) {
        const size_t copied = filled < length - filled ? filled : length - filled;
        std::memcpy(row + filled, row, copied);
        filled += copied;
    }
}

// Copies `pattern` (bytes long) into the first `columns` places of the
// first `rows` rows, stepping by the pitch: a bottom-up plane has its rows
// in reverse order in memory, and a padded one has gaps between them. Rows
// that lie apart are copies of the first; a pitch shorter than the filled
// part makes rows overlap, and each is then filled in turn as it stands.
void FillRows(uint8_t* row0, int32_t pitch, const uint8_t* pattern, int32_t bytes, int32_t columns, int32_t rows) {
    if (columns <= 0 || rows <= 0 || bytes <= 0) return;
    const size_t rowBytes = static_cast<size_t>(columns) * static_cast<size_t>(bytes);
    const bool rowsApart = static_cast<size_t>(pitch < 0 ? -int64_t{pitch} : int64_t{pitch}) >= rowBytes;
    FillRow(row0, pattern, static_cast<size_t>(bytes), rowBytes);
    for (int32_t y = 1; y < rows; ++y) {
        uint8_t* row = row0 + static_cast<ptrdiff_t>(y) * pitch;
        if (rowsApart) {
            std::memcpy(row, row0, rowBytes);
        } else {
            FillRow(row, pattern, static_cast<size_t>(bytes), rowBytes);
        }
    }
}

}  // namespace

bool MGLContext::BindRenderTarget() {
    MGLContextCore::BoundPlane planes[kPlaneCount];
    CRenderSurface* surface = MGLContextCore::CurrentTargetPlanes(planes);
    if (surface == nullptr) return false;
    UnbindPlanes();
    for (int32_t i = 0; i < kPlaneCount; ++i) m_core->BindPlane(static_cast<Plane>(i), planes[i]);
    if (TargetWidth() > 0) {
        m_targetSurface = surface;
        surface->AddWatcher(this);
    }
    m_record.destheight = planes[static_cast<int32_t>(Plane::Colour)].height;
    BoundScissor();
    return true;
}

// The planes were the device's current surface's when bound; the host may
// have made another surface current, or the surface its planes anew, and
// the old pixels may be freed since. Only the same memory of the same
// surface, still the device's, may be reached: the surface watched may be
// on its way out while another over the same memory is current, and a
// context holding on to it would later unbind through a freed surface.
void MGLContext::ForgetVanishedTarget() {
    if (m_targetSurface == nullptr) return;
    MGLContextCore::BoundPlane current[kPlaneCount];
    bool same = MGLContextCore::CurrentTargetPlanes(current) == m_targetSurface;
    for (int32_t i = 0; i < kPlaneCount && same; ++i) {
        same = m_core->PlaneOf(static_cast<Plane>(i)).SameMemory(current[i]);
    }
    if (same) return;
    DebugPrintf("MGLContext: the render target's planes are no longer the device's; none is drawn into");
    UnbindPlanes();
}

void MGLContext::PlanesChanged(CRenderSurface&) { ForgetVanishedTarget(); }

void MGLContext::SurfaceEnding(CRenderSurface&) { UnbindPlanes(); }

void MGLContext::UnbindPlanes() {
    if (m_targetSurface != nullptr) m_targetSurface->RemoveWatcher(this);
    m_targetSurface = nullptr;
    m_core->UnbindPlanes();
}

// The size comes from the colour slot CreateBuffers made; the planes
// written are those of the bound surface, each clear kept to its own plane.
void MGLContext::Clear() {
    const BufferRecord* slot =
        m_buffers != nullptr ? BufferSlots::Of(*m_buffers).UsedSlot(m_record.colorBuffer) : nullptr;
    if (slot == nullptr) return;
    ClearColorPlane(slot->width, slot->height);
    ClearDepthPlane(slot->width, slot->height);
}

uint32_t MGLContext::ClearColorPlane(int32_t w, int32_t h) {
    ForgetVanishedTarget();
    const MGLContextCore::BoundPlane& plane = m_core->PlaneOf(Plane::Colour);
    if (plane.pixels == nullptr) return 0;
    if (!HasClearRule(plane.format)) return plane.format;
    uint8_t pixel[kMaxPixelBytes];
    const int32_t* c = m_record.clearColor;
    PackSolidPixel(pixel, plane.format, c[0], c[1], c[2], c[3]);
    const int32_t bytes = static_cast<int32_t>(plane.format & kPixelBytesMask);
    const int32_t columns = Smaller(w, plane.width);
    const int32_t rows = Smaller(h, plane.height);
    FillRows(plane.pixels, plane.pitch, pixel, bytes, columns, rows);
    return plane.format;
}

void MGLContext::ClearDepthPlane(int32_t w, int32_t h) {
    ForgetVanishedTarget();
    const MGLContextCore::BoundPlane& plane = m_core->PlaneOf(Plane::Depth);
    if (plane.pixels == nullptr) return;
    uint8_t value[kDepthBytes];
    PixelChannels::Store32(value, static_cast<uint32_t>(m_record.clearDepth));
    const int32_t rowWords = plane.width * static_cast<int32_t>(plane.format & kPixelBytesMask) / kDepthBytes;
    const int32_t columns = Smaller(w, rowWords);
    const int32_t rows = Smaller(h, plane.height);
    FillRows(plane.pixels, plane.pitch, value, kDepthBytes, columns, rows);
}

void MGLContext::ClearStencilPlane(int32_t w, int32_t h) {
    ForgetVanishedTarget();
    const MGLContextCore::BoundPlane& plane = m_core->PlaneOf(Plane::Stencil);
    if (plane.pixels == nullptr) return;
    const uint8_t value = static_cast<uint8_t>(m_record.clearStencil & 0xFF);
    const int32_t columns = Smaller(w, plane.width * static_cast<int32_t>(plane.format & kPixelBytesMask));
    const int32_t rows = Smaller(h, plane.height);
    FillRows(plane.pixels, plane.pitch, &value, 1, columns, rows);
}

// Another table's guest bases name regions of another address space, and
// only the context's own table empties the units when it ends a block.
void MGLContext::BindBufferToUnit(int32_t unit, int32_t slot, const BufferTable& table) {
    if (slot < 0 || static_cast<uint32_t>(unit) >= kTextureUnits) return;
    if (&table != m_buffers) {
        DebugPrintf("MGLContext: refused a slot of a buffer table not the context's own");
        return;
    }
    FillTextureUnit(m_record.texture_units[unit], table, slot);
}

int32_t MGLContext::FindTextureUnit(int32_t id) const {
    for (int32_t unit = 0; unit < kTextureUnits; ++unit) {
        if (m_record.texture_units[unit].id == id) return unit;
    }
    return -1;
}

// What a host's native span reads of the bound planes, as the part keeps them.
uint8_t* MGLContext::PlanePixels(Plane plane) const { return m_core->PlaneOf(plane).pixels; }
uint32_t MGLContext::PlaneFormat(Plane plane) const { return m_core->PlaneOf(plane).format; }
int32_t MGLContext::PlanePitch(Plane plane) const { return m_core->PlaneOf(plane).pitch; }
int32_t MGLContext::PlaneWidth(Plane plane) const { return m_core->PlaneOf(plane).width; }
int32_t MGLContext::PlaneHeight(Plane plane) const { return m_core->PlaneOf(plane).height; }

int32_t MGLContext::TargetWidth() const {
    int32_t width = 0;
    for (const MGLContextCore::BoundPlane& plane : m_core->m_planes) {
        if (plane.pixels != nullptr) width = width == 0 ? plane.width : std::min(width, plane.width);
    }
    return width;
}

int32_t MGLContext::TargetHeight() const {
    int32_t height = 0;
    for (const MGLContextCore::BoundPlane& plane : m_core->m_planes) {
        if (plane.pixels != nullptr) height = height == 0 ? plane.height : std::min(height, plane.height);
    }
    return height;
}

uint8_t* MGLContext::PlaneSpan(Plane which, int32_t x, int32_t y, int32_t count) const {
    const MGLContextCore::BoundPlane& plane = m_core->PlaneOf(which);
    const bool onRow = plane.pixels != nullptr && y >= 0 && y < plane.height;
    return onRow ? MGLContextCore::ColumnsOfRow(plane, x, y, count) : nullptr;
}

// Row pointers are guest values any code may have written: a row is only
// what lies a whole number of pitches from row 0.
int32_t MGLContext::PlaneRowOf(Plane which, uint32_t rowGuest) const {
    const MGLContextCore::BoundPlane& plane = m_core->PlaneOf(which);
    if (plane.mapping == 0) return -1;
    const int64_t offset = static_cast<int32_t>(rowGuest - plane.guestRow0);
    if (plane.pitch == 0) return offset == 0 ? 0 : -1;
    if (offset % plane.pitch != 0) return -1;
    const int64_t y = offset / plane.pitch;
    const bool inside = (y >= 0) & (y < plane.height);
    return inside ? static_cast<int32_t>(y) : -1;
}

// A fill's rows follow one another, so the row after (or at) the last one
// found is known without a division.
uint8_t* MGLContext::RowSpan(Plane which, uint32_t rowGuest, int32_t x, int32_t count) {
    MGLContextCore::BoundPlane& plane = m_core->m_planes[static_cast<int32_t>(which)];
    const int64_t offset = static_cast<int32_t>(rowGuest - plane.guestRow0);
    int32_t y = plane.lastRow;
    if (offset != plane.lastRowOffset) {
        y = offset == plane.lastRowOffset + plane.pitch ? plane.lastRow + 1 : PlaneRowOf(which, rowGuest);
    }
    // A mapped plane has pixels.
    if (plane.mapping == 0 || y < 0 || y >= plane.height) return nullptr;
    plane.lastRow = y;
    plane.lastRowOffset = int64_t{y} * plane.pitch;
    return MGLContextCore::ColumnsOfRow(plane, x, y, count);
}
