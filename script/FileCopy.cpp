#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "fw/File.h"
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "script/KeptFiles.h"
#include "script/ScriptEngine.h"

namespace {

// True when `path` names the very file that `open` has open (the same
// volume and file index), whatever way the two names are written.
bool IsSameFile(HANDLE open, const std::string& path)
{
    HANDLE other = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (other == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    bool same = GetFileInformationByHandle(open, &a) && GetFileInformationByHandle(other, &b) &&
                a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(other);
    return same;
}

bool SamePath(const std::string& a, const std::string& b)
{
    return !a.empty() && lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// One block of movable global memory as large as the system grants, up to
// `wanted` bytes: the size is halved while the allocation fails.
class CopyBuffer {
public:
    explicit CopyBuffer(uint64_t wanted)
    {
        size_ = (DWORD)std::min<uint64_t>(wanted, 0xFFFFFFF8u);
        while (size_ != 0) {
            memory_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size_);
            if (memory_) break;
            size_ >>= 1;
        }
    }
    ~CopyBuffer()
    {
        if (data_) GlobalUnlock(memory_);
        if (memory_) GlobalFree(memory_);
    }
    CopyBuffer(const CopyBuffer&) = delete;
    CopyBuffer& operator=(const CopyBuffer&) = delete;

    bool Allocated() const { return memory_ != nullptr; }
    char* Lock()
    {
        data_ = static_cast<char*>(GlobalLock(memory_));
        return data_;
    }
    DWORD Size() const { return size_; }

private:
    HGLOBAL memory_ = nullptr;
    char* data_ = nullptr;
    DWORD size_ = 0;
};

}  // namespace

int ScriptEngine::CopyFileWithTimes(const std::string& source, const std::string& destination,
                                    int number, int silent, int keepTimes)
{
    const std::string logPath = state_.installLogPath;

    // The source's times are read before anything is copied. When they
    // cannot be read the copy keeps the times the system gives it.
    fw::FileTimes times;
    bool haveTimes = keepTimes == 1 && fw::ReadFileTimes(source, times);

    fw::File in;
    if (!in.Open(source, fw::File::modeRead)) return AskOnError(IDS_OPEN_ERROR, source, silent);
    // A copy onto itself would truncate the source before reading it and
    // lose its contents: the file is already where it should be. Nothing
    // is written, so nothing is recorded either (an undo would otherwise
    // delete a file that this install did not make).
    if (IsSameFile(in.Handle(), destination)) return kCopied;
    // The file there is kept until the install completes; a new log is
    // kept as a log (the preparation did that).
    bool copyOntoLog = SamePath(destination, logPath);
    const bool existed = FileExists(destination);
    if (existed && !copyOntoLog && !state_.runMemory.IsRunsOwn(destination) &&
        !KeepAside(state_.runMemory, destination))
        return AskOnError(IDS_WRITE_ERROR, destination, silent);
    if (!existed && !state_.runMemory.IsRunsOwn(destination)) state_.runMemory.RecordMadeAnew(destination);
    fw::File out;
    if (!out.Open(destination, fw::File::modeWrite | fw::File::modeCreate))
        return AskOnError(IDS_WRITE_ERROR, destination, silent);

    // The copy is recorded before its first byte, so that a copy that
    // breaks off is on record too. The one exception is a copy onto the log
    // itself (the seed of a new log): the record would be written into the
    // file that the copy then overwrites, so it is written afterwards.
    if (!copyOntoLog) AddFileRecord(number, destination, logPath);

    int result = kCopied;
    uint64_t length = 0;
    if (!in.Length(length)) {
        result = AskOnError(IDS_READ_ERROR, source, silent);
    } else if (length > 0) {
        // An empty source needs no buffer: it is copied as an empty file.
        CopyBuffer buffer(length);
        char* data = buffer.Allocated() ? buffer.Lock() : nullptr;
        if (!data) {
            result = AskOnError(IDS_ALLOC_ERROR, source, silent);
        } else if (!in.Seek(0)) {
            result = AskOnError(IDS_READ_ERROR, source, silent);
        } else {
            const DWORD size = buffer.Size();
            for (uint64_t done = 0; done < length;) {
                DWORD got = 0;
                if (!in.Read(data, size, got)) {
                    result = AskOnError(IDS_READ_ERROR, source, silent);
                    break;
                }
                if (got == 0) break;  // the source is shorter than it was
                if (!out.Write(data, got)) {
                    result = AskOnError(IDS_WRITE_ERROR, destination, silent);
                    break;
                }
                done += got;
            }
        }
    }

    // A write the system held back shows only when the file is closed: a
    // copy whose close fails is no copy.
    if (!out.Close() && result == kCopied) result = AskOnError(IDS_WRITE_ERROR, destination, silent);
    // A copy that broke off leaves no half-written file behind, whether the
    // user goes on or stops: the destination is whole or not there.
    if (result != kCopied) {
        DeleteFileA(destination.c_str());
        return result;
    }
    if (haveTimes) fw::SetFileTimes(destination, times);
    if (copyOntoLog && result == kCopied) AddFileRecord(number, destination, logPath);
    return result;
}
