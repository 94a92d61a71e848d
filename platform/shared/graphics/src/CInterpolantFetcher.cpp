#include "CInterpolantFetcher.h"

#include "CAssert.h"
#include "CFixedWide.h"

#include <cstring>

namespace {

struct ElementType {
    uint32_t bytes;
    bool isSigned;
    uint32_t lastScale;  // 0: the last component is shifted like the others
};

ElementType DescribeType(uint32_t type) {
    switch (type) {
        case CInterpolantFetcher::kTypeInt8: return {1, true, 0};
        case CInterpolantFetcher::kTypeInt32: return {4, true, 0};
        case CInterpolantFetcher::kTypeUInt8: return {1, false, 0};
        case CInterpolantFetcher::kTypeUInt16: return {2, false, 0};
        case CInterpolantFetcher::kTypeUInt32: return {4, false, 0};
        case CInterpolantFetcher::kTypeInt8Scaled: return {1, true, 0x1000000};
        case CInterpolantFetcher::kTypeInt16Scaled: return {2, true, 0x10000};
        case CInterpolantFetcher::kTypeInt32Unscaled: return {4, true, 1};
        default: return {2, true, 0};
    }
}

// The element at p, sign- or zero-extended to 32 bits; any alignment.
uint32_t ReadElement(const uint8_t* p, const ElementType& type) {
    if (type.bytes == 1) {
        return type.isSigned ? static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(*p))) : *p;
    }
    if (type.bytes == 2) {
        uint16_t v;
        std::memcpy(&v, p, sizeof(v));
        return type.isSigned ? static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(v))) : v;
    }
    uint32_t v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

uint32_t Convert(uint32_t value, int32_t shift, bool isSigned) {
    if (shift >= 0) return shift >= 32 ? 0 : value << shift;
    const int32_t right = -shift;
    if (isSigned) {
        const int32_t v = static_cast<int32_t>(value);
        if (right >= 32) return v < 0 ? 0xFFFFFFFFu : 0;
        return static_cast<uint32_t>(v >> right);
    }
    return right >= 32 ? 0 : value >> right;
}

// 2^exponent - value in 32 bits; an exponent outside 0..31 leaves 0 - value.
uint32_t FlipAgainstPower(uint32_t value, int32_t exponent) {
    const uint32_t power = exponent >= 0 && exponent < 32 ? 1u << exponent : 0;
    return power - value;
}

int32_t WrappingSum(int32_t a, int32_t b, int32_t c) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b) + static_cast<uint32_t>(c));
}

}  // namespace

void CInterpolantFetcher::Setup(const void* data, uint8_t components, uint8_t type, int8_t shift, uint8_t outSlot,
                                uint8_t stride) {
    m_data = static_cast<const uint8_t*>(data);
    m_shift = shift;
    m_components = components;
    m_type = type;
    m_outSlot = outSlot;
    m_stride = stride;
    m_indices = nullptr;
    m_secondShift = shift;
    m_twoComponentMode = -1;
    m_transform = 0;
}

void CInterpolantFetcher::SetIndices(const void* indices, uint32_t type) {
    m_indices = static_cast<const uint8_t*>(indices);
    m_indexType = type;
}

void CInterpolantFetcher::SetTwoComponentMode(int32_t mode, int32_t secondShift, bool transform) {
    m_twoComponentMode = mode;
    m_secondShift = secondShift;
    m_transform = transform ? 1 : 0;
}

void CInterpolantFetcher::FetchConverted(int32_t* out, uint32_t index, uint32_t outSlot, uint32_t stride,
                                         const void* base, uint32_t type, uint32_t count, int32_t shift) {
    if (count < 1 || count > kMaxComponents) return;
    const uint8_t* vertex = static_cast<const uint8_t*>(base) + static_cast<size_t>(index) * stride;
    const ElementType element = DescribeType(type);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t value = ReadElement(vertex + i * element.bytes, element);
        const bool scaled = element.lastScale != 0 && i == count - 1;
        const uint32_t converted = scaled ? value * element.lastScale : Convert(value, shift, element.isSigned);
        out[outSlot + i] = static_cast<int32_t>(converted);
    }
}

uint32_t CInterpolantFetcher::LookupIndex(uint32_t vertex) const {
    if (m_indices == nullptr) return vertex;
    switch (m_indexType) {
        case kTypeInt8:
        case kTypeUInt8:
        case kTypeInt8Scaled:
            return m_indices[vertex];
        case kTypeInt32:
        case kTypeUInt32:
        case kTypeInt32Unscaled: {
            uint32_t index;
            std::memcpy(&index, m_indices + static_cast<size_t>(vertex) * 4, sizeof(index));
            return index;
        }
        default: {
            uint16_t index;
            std::memcpy(&index, m_indices + static_cast<size_t>(vertex) * 2, sizeof(index));
            return index;
        }
    }
}

void CInterpolantFetcher::FetchVertex(int32_t* out, uint32_t vertex, const int32_t* matrix) const {
    const uint32_t index = LookupIndex(vertex);
    if (m_twoComponentMode < 0) {
        Fetch(out, index, m_outSlot, m_stride, m_data, m_type, m_components, m_shift);
        return;
    }
    FetchTwoComponents(out, index, matrix);
}

void CInterpolantFetcher::FetchVertexPlain(int32_t* out, uint32_t vertex) const {
    Fetch(out, LookupIndex(vertex), m_outSlot, m_stride, m_data, m_type, m_components, m_shift);
}

void CInterpolantFetcher::FetchTwoComponents(int32_t* out, uint32_t index, const int32_t* matrix) const {
    Fetch(out, index, m_outSlot, m_stride, m_data, m_type, 1, m_shift);
    Fetch(out, index, m_outSlot + 1u, m_stride, m_data + (m_type & 7u), m_type, 1, m_secondShift);
    int32_t& u = out[m_outSlot];
    int32_t& v = out[m_outSlot + 1];
    v = static_cast<int32_t>(FlipAgainstPower(static_cast<uint32_t>(v), m_secondShift + 8));
    if (m_transform == 0) return;
    ASSERT(matrix != nullptr);
    if (matrix == nullptr) return;
    const int32_t tu = WrappingSum(FixedMul16(u, matrix[0]), FixedMul16(v, matrix[1]), matrix[12]);
    const int32_t tv = WrappingSum(FixedMul16(u, matrix[4]), FixedMul16(v, matrix[5]), matrix[13]);
    u = tu;
    v = tv;
}
