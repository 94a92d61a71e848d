#ifndef ARCHIVETESTDATA_H
#define ARCHIVETESTDATA_H

#include <cstdint>
#include <string>
#include <vector>

// Data for the archive tests, made with the archive tool's library.
namespace ArchiveTestData {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text);
// Bytes that deflate well but not trivially: counting runs with noise.
Bytes Mixed(uint32_t size, uint32_t seed);
// A whole entry (header and payload) as the tool encodes it.
Bytes Entry(const Bytes& payload, bool deflate, uint16_t headerSize = 4);
void PutU32(Bytes& bytes, size_t offset, uint32_t value);
uint32_t U32At(const Bytes& bytes, size_t offset);

}  // namespace ArchiveTestData

#endif
