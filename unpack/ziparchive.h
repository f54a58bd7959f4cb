// Reading side of a ZIP archive: the central directory, member names that
// are safe to unpack, and a windowed reader over the archive file.
#ifndef ZIPARCHIVE_H
#define ZIPARCHIVE_H

#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace cunpack {

struct ZipMember {
    std::string name;        // relative path, "\" separators, no trailing "\"
    bool isDirectory = false;
    uint16_t flags = 0;
    uint16_t method = 0;     // 0 stored, 8 deflated
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t localOffset = 0;
};

// Checks a member name as stored in the archive ("/" or "\" separators) and
// turns it into a relative Windows path. Refuses names that are empty,
// absolute, carry a drive letter or any ":", hold "." or ".." components,
// empty components, components ending in a dot or blank, control or
// wildcard characters, or DOS device names (CON, NUL, COM1, ...).
// Returns false with a reason in `why`.
bool MakeSafeRelativeName(const std::string& stored, std::string& relative, bool& isDirectory,
                          std::string& why);

// The archive file, read through a window of a few hundred kilobytes so that
// the small headers and members that follow each other cost no extra reads.
class ArchiveFile {
public:
    ~ArchiveFile();
    bool Open(const char* path);
    bool Close();  // false when the handle could not be closed
    uint64_t Size() const { return size_; }
    // Copies n bytes at pos into dst.
    bool ReadAt(uint64_t pos, void* dst, size_t n);
    // Points at the bytes from pos on; avail tells how many are there (at
    // least 1 on success). The pointer is valid until the next call.
    const unsigned char* Peek(uint64_t pos, size_t& avail);

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    uint64_t size_ = 0;
    std::vector<unsigned char> window_;
    uint64_t windowPos_ = 0;
    size_t windowLen_ = 0;
};

// Reads and checks the central directory. On success `members` holds every
// member in archive order and `dataLimit` the offset at which the member data
// must end (the start of the central directory).
bool ReadCentralDirectory(ArchiveFile& file, std::vector<ZipMember>& members, uint64_t& dataLimit,
                          std::string& why);

}  // namespace cunpack

#endif
