// Reading side of a ZIP archive: the central directory (ZIP64 included),
// member names decoded and made safe to unpack, and a windowed reader over
// the archive file.
#ifndef ZIPARCHIVE_H
#define ZIPARCHIVE_H

#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace cunpack {

struct ZipMember {
    // Relative path in the system's ANSI code page, "\" separators, no
    // trailing "\". Empty when `nameFits` is false.
    std::string name;
    // The decoded name in UTF-8 ("/" separators as stored), for messages.
    std::string shownName;
    // False when the name has no exact form in the ANSI code page: such a
    // member is never written under another name (see cunpack.h).
    bool nameFits = true;
    bool isDirectory = false;
    uint16_t flags = 0;
    uint16_t method = 0;     // 0 stored, 8 deflated
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0;
    uint64_t localOffset = 0;
};

// Member names. A name is decoded as the ZIP format says: from the Info-ZIP
// Unicode Path extra field (0x7075) when it is there and belongs to this
// name (its CRC-32 matches), else as UTF-8 when general-purpose flag bit 11
// is set, else as code page 437, the format's own OEM code page. The
// system's OEM code page is not used: the archive may have been made on any
// system, and DOS and Windows tools that mark nothing write code page 437
// names. One exception: an unmarked name from a Unix or macOS
// host (`hostSystem`, the high byte of "version made by") that is valid
// UTF-8 is taken as UTF-8, which is how Info-ZIP zip writes it there.
bool DecodeMemberName(const std::string& stored, uint16_t flags, unsigned hostSystem,
                      const unsigned char* extra, size_t extraLen, std::wstring& decoded, std::string& why);
// Strict UTF-8 (no overlong forms, no surrogates); false when malformed.
bool Utf8ToWide(const std::string& text, std::wstring& out);
std::wstring Cp437ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
// The text in the system's ANSI code page, exactly: false when any
// character would be replaced or changed into a look-alike.
bool WideToAnsiExact(const std::wstring& text, std::string& out);

// Checks a decoded member name ("/" or "\" separators) and turns it into a
// relative Windows path. Refuses names that are empty, absolute, carry a
// drive letter or any ":", hold "." or ".." components, empty components,
// components ending in a dot or blank, control or wildcard characters, or
// DOS device names (CON, NUL, COM1, ...). Returns false with a reason in
// `why`.
bool MakeSafeRelativeName(const std::wstring& stored, std::wstring& relative, bool& isDirectory,
                          std::string& why);

// The archive file, read through a window of a megabyte so that the small
// headers and members that follow each other cost no extra reads.
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

// Reads and checks the central directory, from the ZIP64 end record when
// the archive has one. On success `members` holds every member in archive
// order and `dataLimit` the offset at which the member data must end (the
// start of the central directory).
bool ReadCentralDirectory(ArchiveFile& file, std::vector<ZipMember>& members, uint64_t& dataLimit,
                          std::string& why);

// Reads a member's local header and gives where its data starts. Checks the
// header's signature and, where the header gives sizes (its own or in a
// ZIP64 extra field), that they agree with the central directory.
bool LocateMemberData(ArchiveFile& file, const ZipMember& m, uint64_t dataLimit, uint64_t& dataPos,
                      std::string& why);

}  // namespace cunpack

#endif
