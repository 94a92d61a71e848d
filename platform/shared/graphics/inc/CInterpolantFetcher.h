#ifndef CINTERPOLANTFETCHER_H
#define CINTERPOLANTFETCHER_H

#include <cstring>

#include "EngineTypes.h"

// Reads vertex attributes (positions, texture coordinates) of any element
// type out of a caller's array and converts them to 32-bit fixed point by a
// shift: with shift 16, 8- and 16-bit integers become 16.16 values; with
// shift 0 a 16.16 array passes unchanged.
class CInterpolantFetcher {
public:
    // Element types; the low 3 bits are the element size in bytes. Any other
    // code is read as signed 16-bit.
    static constexpr uint8_t kTypeInt8 = 1;
    static constexpr uint8_t kTypeInt16 = 2;
    static constexpr uint8_t kTypeInt32 = 4;
    static constexpr uint8_t kTypeUInt8 = 9;
    static constexpr uint8_t kTypeUInt16 = 10;
    static constexpr uint8_t kTypeUInt32 = 12;
    // The last component is scaled instead of shifted: × 0x1000000, × 0x10000, unchanged.
    static constexpr uint8_t kTypeInt8Scaled = 17;
    static constexpr uint8_t kTypeInt16Scaled = 18;
    static constexpr uint8_t kTypeInt32Unscaled = 20;

    static constexpr uint32_t kMaxComponents = 4;

    // Plain mode over `data`, no index array, no transform.
    void Setup(const void* data, uint8_t components, uint8_t type, int8_t shift, uint8_t outSlot, uint8_t stride);
    // Vertices are then looked up through an array of elements of `type`.
    void SetIndices(const void* indices, uint32_t type);
    // Two-component texture mode: the second value is converted with its own
    // shift and flipped, then transformed when `transform` is set.
    void SetTwoComponentMode(int32_t mode, int32_t secondShift, bool transform);

    // Converts `count` (1 to 4) components of vertex `index` at base + index
    // × stride into out[outSlot] onwards; any other count writes nothing.
    // Whole 16.16 words, the usual position stream, are copied inline: every
    // vertex of a draw takes them.
    static void Fetch(int32_t* out, uint32_t index, uint32_t outSlot, uint32_t stride, const void* base, uint32_t type,
                      uint32_t count, int32_t shift) {
        if (type != kTypeInt32 || shift != 0 || count < 1 || count > kMaxComponents) {
            FetchConverted(out, index, outSlot, stride, base, type, count, shift);
            return;
        }
        const uint8_t* element = static_cast<const uint8_t*>(base) + static_cast<size_t>(index) * stride;
        for (uint32_t i = 0; i < count; ++i) {
            std::memcpy(&out[outSlot + i], element + i * sizeof(int32_t), sizeof(int32_t));
        }
    }
    uint32_t LookupIndex(uint32_t vertex) const;
    // One vertex in the fetcher's mode. `matrix` (16 words of 16.16) is
    // needed only in two-component mode with the transform on.
    void FetchVertex(int32_t* out, uint32_t vertex, const int32_t* matrix) const;
    // One vertex in plain mode, whatever the fetcher's mode.
    void FetchVertexPlain(int32_t* out, uint32_t vertex) const;

    const void* GetData() const { return m_data; }
    int32_t GetShift() const { return m_shift; }
    uint8_t GetComponents() const { return m_components; }
    uint8_t GetType() const { return m_type; }
    uint8_t GetOutSlot() const { return m_outSlot; }
    uint8_t GetStride() const { return m_stride; }
    const void* GetIndices() const { return m_indices; }
    int32_t GetSecondShift() const { return m_secondShift; }
    int32_t GetTwoComponentMode() const { return m_twoComponentMode; }
    bool HasTransform() const { return m_transform != 0; }
    uint32_t GetIndexType() const { return m_indexType; }

private:
    // Fetch for the element types and shifts that convert.
    static void FetchConverted(int32_t* out, uint32_t index, uint32_t outSlot, uint32_t stride, const void* base,
                               uint32_t type, uint32_t count, int32_t shift);
    void FetchTwoComponents(int32_t* out, uint32_t index, const int32_t* matrix) const;

    const uint8_t* m_data = nullptr;
    int32_t m_shift = 0;
    uint8_t m_components = 0;
    uint8_t m_type = 0;
    uint8_t m_outSlot = 0;
    uint8_t m_stride = 0;
    const uint8_t* m_indices = nullptr;
    int32_t m_secondShift = 0;
    int32_t m_twoComponentMode = -1;
    uint32_t m_transform = 0;
    uint32_t m_indexType = 0;
};

#endif
