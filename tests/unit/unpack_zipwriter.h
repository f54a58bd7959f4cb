// Builds ZIP archives in memory for the unpack library's tests, including
// archives that are broken on purpose.
#ifndef UNPACK_ZIPWRITER_H
#define UNPACK_ZIPWRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace ziptest {

// Little-endian fields, as the ZIP format stores them.
void Put16(std::string& s, uint32_t v);
void Put32(std::string& s, uint32_t v);
void Put64(std::string& s, uint64_t v);

struct Entry {
    std::string name;
    std::string data;
    uint16_t method = 8;         // 0 stored, 8 deflated; anything else: data stored under that number
    uint16_t flags = 0;          // general purpose flags (bit 0: encrypted)
    uint32_t crcDelta = 0;       // added to the recorded CRC-32
    bool corruptData = false;    // flips bytes in the middle of the compressed data
};

// Local headers and data, central directory, end record.
std::string Build(const std::vector<Entry>& entries);

// Text that deflates well but not trivially, of about `size` bytes.
std::string Text(size_t size, unsigned seed);

}  // namespace ziptest

#endif
