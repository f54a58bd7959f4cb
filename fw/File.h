// A file handle with explicit results instead of exceptions: every operation
// returns false on failure and keeps the system error for the caller.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

namespace fw {

class File {
public:
    enum Mode : unsigned {
        modeRead = 0x0001,
        modeWrite = 0x0002,
        modeReadWrite = 0x0003,
        modeCreate = 0x1000,      // create, or truncate an existing file
        modeNoTruncate = 0x2000,  // with modeCreate: open an existing file as it is
        shareDenyWrite = 0x0100,  // others may read while it is open
        shareExclusive = 0x0200,  // nobody else may open it
    };

    File() = default;
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool Open(const std::string& path, unsigned mode);
    // False when closing failed: a write the system had held back did not
    // reach the disk.
    bool Close();
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return handle_; }

    // Reads up to `count` bytes; `done` receives how many were read.
    bool Read(void* buffer, DWORD count, DWORD& done);
    // Writes all `count` bytes or fails.
    bool Write(const void* buffer, DWORD count);
    bool Seek(int64_t offset, DWORD origin = FILE_BEGIN);
    bool Length(uint64_t& length) const;
    bool GetTimes(FILETIME& created, FILETIME& accessed, FILETIME& written) const;
    bool SetTimes(const FILETIME* created, const FILETIME* accessed, const FILETIME* written);

    // The system error of the last failed operation.
    DWORD LastError() const { return lastError_; }

private:
    bool Fail();
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    DWORD lastError_ = 0;
};

// The three times of a file, read from one file and set on another by
// name (the file opened only for that, shared with every other user).
struct FileTimes {
    FILETIME created{}, accessed{}, written{};
};
bool ReadFileTimes(const std::string& path, FileTimes& times);
void SetFileTimes(const std::string& path, const FileTimes& times);

// Reads a whole file into `bytes` (empty on failure); false when there is
// none or it cannot be read to its end.
bool ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace fw
