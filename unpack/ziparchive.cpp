#include "ziparchive.h"

#include <zlib.h>

#include <cstring>

namespace cunpack {

namespace {

const size_t kWindowSize = 1 << 20;

uint16_t Get16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Get32(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint64_t Get64(const unsigned char* p) { return uint64_t(Get32(p)) | (uint64_t(Get32(p + 4)) << 32); }

const uint32_t kEndSignature = 0x06054b50;
const uint32_t kCentralSignature = 0x02014b50;
const uint32_t kZip64EndSignature = 0x06064b50;
const uint32_t kZip64LocatorSignature = 0x07064b50;
const size_t kEndSize = 22;
const size_t kCentralSize = 46;
const size_t kLocalSize = 30;
const size_t kZip64EndSize = 56;
const size_t kZip64LocatorSize = 20;
const uint16_t kZip64Extra = 0x0001;
const uint16_t kUnicodePathExtra = 0x7075;
const uint16_t kUtf8Flag = 0x0800;
const unsigned kHostUnix = 3;    // "version made by", high byte
const unsigned kHostMacOs = 19;

// The high half of code page 437; the low half is ASCII.
const wchar_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// The data of extra field `id` within an extra area, or null.
const unsigned char* FindExtra(const unsigned char* extra, size_t len, uint16_t id, size_t& dataLen)
{
    size_t at = 0;
    while (at + 4 <= len) {
        uint16_t tag = Get16(extra + at), size = Get16(extra + at + 2);
        if (at + 4 + size > len) break;
        if (tag == id) {
            dataLen = size;
            return extra + at + 4;
        }
        at += 4 + size;
    }
    dataLen = 0;
    return nullptr;
}

// Fills in the 64-bit values that a header marks with all ones from its
// ZIP64 extra field, which holds them in this order and only those.
bool ApplyZip64(const unsigned char* extra, size_t extraLen, uint64_t* size, uint64_t* compressedSize,
                uint64_t* offset)
{
    size_t len = 0;
    const unsigned char* p = FindExtra(extra, extraLen, kZip64Extra, len);
    size_t at = 0;
    for (uint64_t* field : {size, compressedSize, offset}) {
        if (!field || *field != 0xFFFFFFFFu) continue;
        if (!p || at + 8 > len) return false;
        *field = Get64(p + at);
        at += 8;
    }
    return true;
}

bool IsDeviceName(const std::wstring& component)
{
    // The part before the first dot decides: "NUL.TXT" is the device too.
    std::wstring base = component.substr(0, component.find(L'.'));
    for (wchar_t& c : base) c = wchar_t(c >= L'a' && c <= L'z' ? c - 32 : c);
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CLOCK$", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* d : kDevices)
        if (base == d) return true;
    if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) &&
        base[3] >= L'0' && base[3] <= L'9')
        return true;
    return false;
}

}  // namespace

bool Utf8ToWide(const std::string& text, std::wstring& out)
{
    out.clear();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t n = text.size(), i = 0;
    while (i < n) {
        unsigned c = p[i];
        unsigned need = 0;
        uint32_t cp = 0, min = 0;
        if (c < 0x80) {
            out += wchar_t(c);
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            need = 1, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            need = 2, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            need = 3, cp = c & 0x07, min = 0x10000;
        } else {
            return false;
        }
        for (unsigned k = 1; k <= need; ++k) {
            if (i + k >= n || (p[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += wchar_t(0xD800 + (cp >> 10));
            out += wchar_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += wchar_t(cp);
        }
        i += need + 1;
    }
    return true;
}

std::wstring Cp437ToWide(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (unsigned char c : text) out += c < 0x80 ? wchar_t(c) : kCp437High[c - 0x80];
    return out;
}

std::string WideToUtf8(const std::wstring& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = uint16_t(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && uint16_t(text[i + 1]) >= 0xDC00 &&
            uint16_t(text[i + 1]) <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (uint16_t(text[++i]) - 0xDC00);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool WideToAnsiExact(const std::wstring& text, std::string& out)
{
    out.clear();
    if (text.empty()) return true;
    // No best-fit flag is asked for (Windows 95 refuses the flags), so the
    // result is converted back: a character that was replaced by the
    // default character or by a look-alike does not come back the same.
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    std::string ansi(size_t(n), '\0');
    usedDefault = FALSE;
    if (WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), &ansi[0], n, nullptr, &usedDefault) != n ||
        usedDefault)
        return false;
    int back = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), n, nullptr, 0);
    if (back != int(text.size())) return false;
    std::wstring again(size_t(back), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), n, &again[0], back);
    if (again != text) return false;
    out.swap(ansi);
    return true;
}

bool DecodeMemberName(const std::string& stored, uint16_t flags, unsigned hostSystem,
                      const unsigned char* extra, size_t extraLen, std::wstring& decoded, std::string& why)
{
    size_t len = 0;
    const unsigned char* unicode = FindExtra(extra, extraLen, kUnicodePathExtra, len);
    if (unicode && len >= 5 && unicode[0] == 1 &&
        Get32(unicode + 1) == uint32_t(crc32(0, reinterpret_cast<const Bytef*>(stored.data()), uInt(stored.size())))) {
        if (!Utf8ToWide(std::string(reinterpret_cast<const char*>(unicode + 5), len - 5), decoded)) {
            why = "the Unicode path of the member is not valid UTF-8";
            return false;
        }
        return true;
    }
    if (flags & kUtf8Flag) {
        if (!Utf8ToWide(stored, decoded)) {
            why = "member name marked UTF-8 is not valid UTF-8";
            return false;
        }
        return true;
    }
    // Info-ZIP zip on Unix and macOS stores the names as the file system
    // has them, in UTF-8, without the mark (unzip writes them back as they
    // are); code page 437 would turn every such name into box characters.
    if ((hostSystem == kHostUnix || hostSystem == kHostMacOs) && Utf8ToWide(stored, decoded)) return true;
    decoded = Cp437ToWide(stored);
    return true;
}

bool MakeSafeRelativeName(const std::wstring& stored, std::wstring& relative, bool& isDirectory,
                          std::string& why)
{
    relative.clear();
    isDirectory = false;
    if (stored.empty()) {
        why = "empty member name";
        return false;
    }
    std::wstring name = stored;
    for (wchar_t& c : name)
        if (c == L'/') c = L'\\';
    if (name[0] == L'\\') {
        why = "absolute member name";
        return false;
    }
    if (name.back() == L'\\') {
        isDirectory = true;
        name.pop_back();
        if (name.empty()) {
            why = "member name is only a separator";
            return false;
        }
    }
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find(L'\\', start);
        if (end == std::wstring::npos) end = name.size();
        std::wstring component = name.substr(start, end - start);
        if (component.empty()) {
            why = "empty component in member name";
            return false;
        }
        for (wchar_t c : component) {
            if (c < 0x20 || (c < 0x80 && std::strchr(":<>\"|?*", char(c)))) {
                why = c == L':' ? "drive letter or ':' in member name" : "invalid character in member name";
                return false;
            }
        }
        if (component.find_first_not_of(L'.') == std::wstring::npos) {
            why = "'.' or '..' in member name";
            return false;
        }
        if (component.back() == L'.' || component.back() == L' ') {
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
    uint32_t diskNumber = Get16(end + 4), cdDisk = Get16(end + 6);
    uint64_t entriesHere = Get16(end + 8), entries = Get16(end + 10);
    uint64_t cdSize = Get32(end + 12), cdOffset = Get32(end + 16);
    uint64_t endPos = tailPos + endAt;

    // ZIP64: a locator right before the end record points at the ZIP64 end
    // record, whose 64-bit counts, size and offset stand for the ones above.
    unsigned char locator[kZip64LocatorSize];
    if (endPos >= kZip64LocatorSize && file.ReadAt(endPos - kZip64LocatorSize, locator, sizeof locator) &&
        Get32(locator) == kZip64LocatorSignature) {
        uint64_t recordPos = Get64(locator + 8);
        unsigned char record[kZip64EndSize];
        if (Get32(locator + 4) != 0 || Get32(locator + 16) > 1) {
            why = "archives that span several disks are not supported";
            return false;
        }
        if (recordPos + kZip64EndSize > endPos - kZip64LocatorSize ||
            !file.ReadAt(recordPos, record, sizeof record) || Get32(record) != kZip64EndSignature) {
            why = "damaged ZIP64 end of central directory";
            return false;
        }
        diskNumber = Get32(record + 16);
        cdDisk = Get32(record + 20);
        entriesHere = Get64(record + 24);
        entries = Get64(record + 32);
        cdSize = Get64(record + 40);
        cdOffset = Get64(record + 48);
        endPos = recordPos;
    } else if (entries == 0xFFFF || cdSize == 0xFFFFFFFFu || cdOffset == 0xFFFFFFFFu) {
        why = "ZIP64 end of central directory missing";
        return false;
    }
    if (diskNumber != 0 || cdDisk != 0 || entriesHere != entries) {
        why = "archives that span several disks are not supported";
        return false;
    }
    if (cdOffset > endPos || cdSize > endPos - cdOffset || entries > cdSize / kCentralSize) {
        why = "central directory lies outside the archive (truncated file?)";
        return false;
    }
    if (cdSize > (1u << 30)) {
        why = "central directory larger than 1 GB";
        return false;
    }
    std::vector<unsigned char> cd(static_cast<size_t>(cdSize));
    if (cdSize && !file.ReadAt(cdOffset, cd.data(), size_t(cdSize))) {
        why = "cannot read the central directory";
        return false;
    }
    members.reserve(size_t(entries));
    size_t at = 0;
    for (uint64_t i = 0; i < entries; ++i) {
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
        size_t nameLen = Get16(h + 28), extraLen = Get16(h + 30), commentLen = Get16(h + 32);
        uint32_t externalAttributes = Get32(h + 38);
        m.localOffset = Get32(h + 42);
        if (at + kCentralSize + nameLen + extraLen + commentLen > cd.size()) {
            why = "damaged central directory";
            return false;
        }
        std::string stored(reinterpret_cast<const char*>(h + kCentralSize), nameLen);
        const unsigned char* extra = h + kCentralSize + nameLen;
        at += kCentralSize + nameLen + extraLen + commentLen;

        if (stored.find('\0') != std::string::npos) {
            why = "member name holds a zero byte";
            return false;
        }
        std::wstring decoded, relative;
        if (!DecodeMemberName(stored, m.flags, Get16(h + 4) >> 8, extra, extraLen, decoded, why)) {
            why += ": " + stored;
            return false;
        }
        m.shownName = WideToUtf8(decoded);
        if (m.flags & 0x0041) {
            why = "encrypted member " + m.shownName;
            return false;
        }
        if (m.method != 0 && m.method != 8) {
            why = "unsupported compression method " + std::to_string(m.method) + " in member " + m.shownName;
            return false;
        }
        if (!ApplyZip64(extra, extraLen, &m.size, &m.compressedSize, &m.localOffset)) {
            why = "ZIP64 extra field missing or too short in member " + m.shownName;
            return false;
        }
        if (m.method == 0 && m.compressedSize != m.size) {
            why = "stored member with two different sizes: " + m.shownName;
            return false;
        }
        if (m.localOffset > cdOffset || kLocalSize + m.compressedSize > cdOffset - m.localOffset) {
            why = "member data lies outside the archive: " + m.shownName;
            return false;
        }
        if (!MakeSafeRelativeName(decoded, relative, m.isDirectory, why)) {
            why += ": " + m.shownName;
            return false;
        }
        m.nameFits = WideToAnsiExact(relative, m.name);
        if (!m.nameFits) m.name.clear();
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

bool LocateMemberData(ArchiveFile& file, const ZipMember& m, uint64_t dataLimit, uint64_t& dataPos,
                      std::string& why)
{
    // The local header's own name and extra field need not match the
    // central directory's; only their lengths matter for the data.
    unsigned char local[kLocalSize];
    if (!file.ReadAt(m.localOffset, local, sizeof local) || Get32(local) != 0x04034b50) {
        why = "damaged local header of " + m.shownName;
        return false;
    }
    size_t nameLen = Get16(local + 26), extraLen = Get16(local + 28);
    dataPos = m.localOffset + kLocalSize + nameLen + extraLen;
    if (dataPos > dataLimit || m.compressedSize > dataLimit - dataPos) {
        why = "member data runs past the end of the archive: " + m.shownName;
        return false;
    }
    // Without a data descriptor (flag bit 3) the local header carries the
    // sizes too, in its ZIP64 extra field when they are marked all ones.
    if (!(m.flags & 0x0008)) {
        uint64_t size = Get32(local + 22), compressedSize = Get32(local + 18);
        if (size == 0xFFFFFFFFu || compressedSize == 0xFFFFFFFFu) {
            std::vector<unsigned char> extra(extraLen);
            if (extraLen && !file.ReadAt(dataPos - extraLen, extra.data(), extraLen)) {
                why = "damaged local header of " + m.shownName;
                return false;
            }
            // Here the extra field holds both sizes, whichever is marked.
            size_t len = 0;
            const unsigned char* p = FindExtra(extra.data(), extraLen, kZip64Extra, len);
            if (!p || len < 16) {
                why = "ZIP64 extra field missing in the local header of " + m.shownName;
                return false;
            }
            size = Get64(p);
            compressedSize = Get64(p + 8);
        }
        if (size != m.size || compressedSize != m.compressedSize) {
            why = "local header and central directory disagree on the sizes of " + m.shownName;
            return false;
        }
    }
    return true;
}

}  // namespace cunpack
