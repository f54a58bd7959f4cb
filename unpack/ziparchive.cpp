#include "ziparchive.h"

#include <cstring>

namespace cunpack {

namespace {

const size_t kWindowSize = 1 << 20;

uint16_t Get16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Get32(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

const uint32_t kEndSignature = 0x06054b50;
const uint32_t kCentralSignature = 0x02014b50;
const size_t kEndSize = 22;
const size_t kCentralSize = 46;

bool IsDeviceName(const std::string& component)
{
    // The part before the first dot decides: "NUL.TXT" is the device too.
    std::string base = component.substr(0, component.find('.'));
    for (char& c : base) c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
    for (const char* d : kDevices)
        if (base == d) return true;
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
        base[3] >= '0' && base[3] <= '9')
        return true;
    return false;
}

}  // namespace

bool MakeSafeRelativeName(const std::string& stored, std::string& relative, bool& isDirectory,
                          std::string& why)
{
    relative.clear();
    isDirectory = false;
    if (stored.empty()) {
        why = "empty member name";
        return false;
    }
    std::string name = stored;
    for (char& c : name)
        if (c == '/') c = '\\';
    if (name[0] == '\\') {
        why = "absolute member name";
        return false;
    }
    if (name.back() == '\\') {
        isDirectory = true;
        name.pop_back();
        if (name.empty()) {
            why = "member name is only a separator";
            return false;
        }
    }
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('\\', start);
        if (end == std::string::npos) end = name.size();
        std::string component = name.substr(start, end - start);
        if (component.empty()) {
            why = "empty component in member name";
            return false;
        }
        for (unsigned char c : component) {
            if (c < 0x20 || std::strchr(":<>\"|?*", c)) {
                why = c == ':' ? "drive letter or ':' in member name" : "invalid character in member name";
                return false;
            }
        }
        if (component.find_first_not_of('.') == std::string::npos) {
            why = "'.' or '..' in member name";
            return false;
        }
        if (component.back() == '.' || component.back() == ' ') {
            why = "member name component ends in a dot or blank";
            return false;
        }
        if (IsDeviceName(component)) {
            why = "device name in member name";
            return false;
        }
        start = end + 1;
    }
    relative = name;
    return true;
}

ArchiveFile::~ArchiveFile() { Close(); }

bool ArchiveFile::Open(const char* path)
{
    Close();
    handle_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD low = GetFileSize(handle_, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        Close();
        return false;
    }
    size_ = (uint64_t(high) << 32) | low;
    windowLen_ = 0;
    windowPos_ = 0;
    return true;
}

bool ArchiveFile::Close()
{
    bool ok = true;
    if (handle_ != INVALID_HANDLE_VALUE) ok = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    std::vector<unsigned char>().swap(window_);
    windowLen_ = 0;
    return ok;
}

const unsigned char* ArchiveFile::Peek(uint64_t pos, size_t& avail)
{
    avail = 0;
    if (handle_ == INVALID_HANDLE_VALUE || pos >= size_) return nullptr;
    if (pos < windowPos_ || pos >= windowPos_ + windowLen_) {
        if (window_.size() != kWindowSize) window_.resize(kWindowSize);
        LONG high = LONG(pos >> 32);
        if (SetFilePointer(handle_, LONG(pos & 0xFFFFFFFFu), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
            GetLastError() != NO_ERROR)
            return nullptr;
        size_t want = size_t(size_ - pos < kWindowSize ? size_ - pos : kWindowSize);
        DWORD got = 0;
        if (!ReadFile(handle_, window_.data(), DWORD(want), &got, nullptr) || got == 0) {
            windowLen_ = 0;
            return nullptr;
        }
        windowPos_ = pos;
        windowLen_ = got;
    }
    size_t offset = size_t(pos - windowPos_);
    avail = windowLen_ - offset;
    return window_.data() + offset;
}

bool ArchiveFile::ReadAt(uint64_t pos, void* dst, size_t n)
{
    unsigned char* out = static_cast<unsigned char*>(dst);
    while (n > 0) {
        size_t avail = 0;
        const unsigned char* p = Peek(pos, avail);
        if (!p) return false;
        size_t take = avail < n ? avail : n;
        std::memcpy(out, p, take);
        out += take;
        pos += take;
        n -= take;
    }
    return true;
}

bool ReadCentralDirectory(ArchiveFile& file, std::vector<ZipMember>& members, uint64_t& dataLimit,
                          std::string& why)
{
    members.clear();
    const uint64_t size = file.Size();
    if (size < kEndSize) {
        why = "too short for a ZIP archive";
        return false;
    }
    if (size > 0xFFFFFFFFull) {
        why = "archive larger than 4 GB";
        return false;
    }
    // The end record lies within the last 22 + 65535 bytes (its comment).
    size_t tailLen = size_t(size < kEndSize + 0xFFFF ? size : kEndSize + 0xFFFF);
    std::vector<unsigned char> tail(tailLen);
    uint64_t tailPos = size - tailLen;
    if (!file.ReadAt(tailPos, tail.data(), tailLen)) {
        why = "cannot read the end of the archive";
        return false;
    }
    size_t endAt = SIZE_MAX;
    for (size_t i = tailLen - kEndSize + 1; i-- > 0;) {
        if (Get32(&tail[i]) == kEndSignature && i + kEndSize + Get16(&tail[i + 20]) <= tailLen) {
            endAt = i;
            break;
        }
    }
    if (endAt == SIZE_MAX) {
        why = "not a ZIP archive (no end of central directory)";
        return false;
    }
    const unsigned char* end = &tail[endAt];
    uint16_t diskNumber = Get16(end + 4), cdDisk = Get16(end + 6);
    uint16_t entriesHere = Get16(end + 8), entries = Get16(end + 10);
    uint32_t cdSize = Get32(end + 12), cdOffset = Get32(end + 16);
    uint64_t endPos = tailPos + endAt;
    if (diskNumber != 0 || cdDisk != 0 || entriesHere != entries) {
        why = "archives that span several disks are not supported";
        return false;
    }
    if (entries == 0xFFFF || cdSize == 0xFFFFFFFFu || cdOffset == 0xFFFFFFFFu) {
        why = "ZIP64 archives are not supported";
        return false;
    }
    if (uint64_t(cdOffset) + cdSize > endPos) {
        why = "central directory lies outside the archive (truncated file?)";
        return false;
    }
    std::vector<unsigned char> cd(cdSize);
    if (cdSize && !file.ReadAt(cdOffset, cd.data(), cdSize)) {
        why = "cannot read the central directory";
        return false;
    }
    members.reserve(entries);
    size_t at = 0;
    for (unsigned i = 0; i < entries; ++i) {
        if (at + kCentralSize > cd.size() || Get32(&cd[at]) != kCentralSignature) {
            why = "damaged central directory";
            return false;
        }
        const unsigned char* h = &cd[at];
        ZipMember m;
        m.flags = Get16(h + 8);
        m.method = Get16(h + 10);
        m.dosTime = Get16(h + 12);
        m.dosDate = Get16(h + 14);
        m.crc = Get32(h + 16);
        m.compressedSize = Get32(h + 20);
        m.size = Get32(h + 24);
        uint16_t nameLen = Get16(h + 28), extraLen = Get16(h + 30), commentLen = Get16(h + 32);
        uint32_t externalAttributes = Get32(h + 38);
        m.localOffset = Get32(h + 42);
        if (at + kCentralSize + nameLen + extraLen + commentLen > cd.size()) {
            why = "damaged central directory";
            return false;
        }
        std::string stored(reinterpret_cast<const char*>(h + kCentralSize), nameLen);
        at += kCentralSize + nameLen + extraLen + commentLen;

        if (stored.find('\0') != std::string::npos) {
            why = "member name holds a zero byte";
            return false;
        }
        if (m.flags & 0x0041) {
            why = "encrypted member " + stored;
            return false;
        }
        if (m.method != 0 && m.method != 8) {
            why = "unsupported compression method in member " + stored;
            return false;
        }
        if (m.size == 0xFFFFFFFFu || m.compressedSize == 0xFFFFFFFFu || m.localOffset == 0xFFFFFFFFu) {
            why = "ZIP64 member " + stored;
            return false;
        }
        if (m.method == 0 && m.compressedSize != m.size) {
            why = "stored member with two different sizes: " + stored;
            return false;
        }
        if (uint64_t(m.localOffset) + 30 + m.compressedSize > cdOffset) {
            why = "member data lies outside the archive: " + stored;
            return false;
        }
        if (!MakeSafeRelativeName(stored, m.name, m.isDirectory, why)) {
            why += ": " + stored;
            return false;
        }
        // MS-DOS directory attribute on an entry made by a tool that does
        // not add the trailing separator.
        if (!m.isDirectory && (externalAttributes & FILE_ATTRIBUTE_DIRECTORY) && m.size == 0 &&
            (Get16(h + 4) >> 8) == 0)
            m.isDirectory = true;
        members.push_back(std::move(m));
    }
    dataLimit = cdOffset;
    return true;
}

}  // namespace cunpack
