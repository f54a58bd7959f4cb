#include "fw/File.h"

namespace fw {

bool File::Fail()
{
    lastError_ = GetLastError();
    return false;
}

bool File::Open(const std::string& path, unsigned mode)
{
    Close();
    DWORD access = 0;
    if (mode & modeRead) access |= GENERIC_READ;
    if (mode & modeWrite) access |= GENERIC_WRITE;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    if (mode & shareDenyWrite) share = FILE_SHARE_READ;
    if (mode & shareExclusive) share = 0;
    DWORD disposition = OPEN_EXISTING;
    if (mode & modeCreate) disposition = (mode & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    handle_ = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) return Fail();
    lastError_ = 0;
    return true;
}

bool File::Close()
{
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    bool closed = CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return closed || Fail();
}

bool File::Read(void* buffer, DWORD count, DWORD& done)
{
    done = 0;
    if (!ReadFile(handle_, buffer, count, &done, nullptr)) return Fail();
    return true;
}

bool File::Write(const void* buffer, DWORD count)
{
    const char* p = static_cast<const char*>(buffer);
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(handle_, p, count, &written, nullptr)) return Fail();
        if (written == 0) {
            lastError_ = ERROR_WRITE_FAULT;
            return false;
        }
        p += written;
        count -= written;
    }
    return true;
}

bool File::Seek(int64_t offset, DWORD origin)
{
    LARGE_INTEGER li;
    li.QuadPart = offset;
    if (!SetFilePointerEx(handle_, li, nullptr, origin)) return Fail();
    return true;
}

bool File::Length(uint64_t& length) const
{
    LARGE_INTEGER li;
    if (!GetFileSizeEx(handle_, &li)) {
        const_cast<File*>(this)->lastError_ = GetLastError();
        return false;
    }
    length = (uint64_t)li.QuadPart;
    return true;
}

bool File::GetTimes(FILETIME& created, FILETIME& accessed, FILETIME& written) const
{
    if (!GetFileTime(handle_, &created, &accessed, &written)) {
        const_cast<File*>(this)->lastError_ = GetLastError();
        return false;
    }
    return true;
}

bool File::SetTimes(const FILETIME* created, const FILETIME* accessed, const FILETIME* written)
{
    if (!SetFileTime(handle_, created, accessed, written)) return Fail();
    return true;
}

bool ReadFileTimes(const std::string& path, FileTimes& times)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = GetFileTime(file, &times.created, &times.accessed, &times.written) != 0;
    CloseHandle(file);
    return ok;
}

void SetFileTimes(const std::string& path, const FileTimes& times)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFileTime(file, &times.created, &times.accessed, &times.written);
    CloseHandle(file);
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    bytes.clear();
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[64 * 1024];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return ok;
}

}  // namespace fw
