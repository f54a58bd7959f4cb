// The three entry points of CUNPCK32.DLL and the unpacking session behind
// them. One archive is open at a time; init starts a session, exec writes one
// file per call, exit ends the session.
#include "cunpack.h"
#include "ziparchive.h"

#include <cstdint>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace cunpack {
namespace {

const size_t kOutputChunk = 256 * 1024;  // progress and cancel are looked at after each chunk

void Trace(const std::string& text)
{
    OutputDebugStringA(("CUNPCK32: " + text + "\n").c_str());
}

std::string FullPath(const std::string& path)
{
    char buffer[MAX_PATH + 1];
    char* filePart = nullptr;
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, &filePart);
    if (n == 0 || n >= sizeof buffer) return std::string();
    return std::string(buffer, n);
}

// The next "\" of an ANSI path at or after `from`, npos when none. In a
// double-byte code page the second byte of a character may have the value
// of "\", so lead bytes are stepped over with their second byte.
size_t NextSeparator(const std::string& path, size_t from)
{
    for (size_t i = from; i < path.size(); ++i) {
        if (path[i] == '\\') return i;
        if (IsDBCSLeadByte(BYTE(path[i])) && i + 1 < path.size()) ++i;
    }
    return std::string::npos;
}

size_t LastSeparator(const std::string& path)
{
    size_t last = std::string::npos;
    for (size_t at = NextSeparator(path, 0); at != std::string::npos; at = NextSeparator(path, at + 1))
        last = at;
    return last;
}

// Length of the part of a full path that is never created: "C:\" or
// "\\server\share\".
size_t RootLength(const std::string& path)
{
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return 3;
    if (path.compare(0, 2, "\\\\") == 0) {
        size_t server = NextSeparator(path, 2);
        if (server == std::string::npos) return path.size();
        size_t share = NextSeparator(path, server + 1);
        return share == std::string::npos ? path.size() : share + 1;
    }
    return 0;
}

bool IsDirectory(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

const size_t kChunkSlots = 32;  // chunks each inflating thread may run ahead (8 MB)

// Where the time goes, traced when the archive is closed (the benchmark
// reads it from the debug output). "inflate" is spent on the inflating
// threads, at the same time as the others.
enum Stage {
    kStageDirectories,
    kStageCreate,
    kStageWrite,
    kStageClose,
    kStageWaitData,
    kStageCaller,
    kStageInflate,
    kStageCount
};
const char* const kStageNames[kStageCount] = {"directories", "create", "write", "times+close",
                                              "waiting for inflated data", "caller between exec calls",
                                              "read+inflate (own threads, added up)"};

class StageClock {
public:
    StageClock()
    {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        frequency_ = double(f.QuadPart);
    }
    static int64_t Now()
    {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return t.QuadPart;
    }
    void Add(Stage stage, int64_t since) { ticks_[stage] += Now() - since; }
    void Take(const StageClock& other, Stage stage) { ticks_[stage] += other.ticks_[stage]; }
    std::string Text() const
    {
        std::string text = "stage timings:";
        char part[96];
        for (int i = 0; i < kStageCount; ++i) {
            wsprintfA(part, " %s %d ms%s", kStageNames[i], int(double(ticks_[i]) * 1000.0 / frequency_),
                      i + 1 < kStageCount ? "," : "");
            text += part;
        }
        return text;
    }

private:
    double frequency_ = 1;
    int64_t ticks_[kStageCount] = {};
};

// Condition variables, looked up at run time: Windows before Vista lacks
// them, and there the library inflates on the caller's thread. Kernel
// semaphores would do everywhere, but under Wine each of their calls is a
// round trip to the server, which costs more than the second thread gains;
// critical sections and condition variables stay in the process.
struct ConditionCalls {
    struct Variable {
        void* ptr = nullptr;
    };
    void(WINAPI* init)(Variable*) = nullptr;
    BOOL(WINAPI* sleep)(Variable*, CRITICAL_SECTION*, DWORD) = nullptr;
    void(WINAPI* wake)(Variable*) = nullptr;
    ConditionCalls()
    {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (!kernel) return;
        init = reinterpret_cast<decltype(init)>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "InitializeConditionVariable")));
        sleep = reinterpret_cast<decltype(sleep)>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SleepConditionVariableCS")));
        wake = reinterpret_cast<decltype(wake)>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "WakeConditionVariable")));
    }
    bool Ready() const { return init && sleep && wake; }
};

// A piece of one member's data, inflated and checked by the inflating side.
struct Chunk {
    size_t member = 0;  // index into the member list
    std::unique_ptr<unsigned char[]> data{new unsigned char[kOutputChunk]};
    size_t size = 0;
    bool last = false;    // the member's data ends here (size and CRC-32 checked)
    bool failed = false;  // the member's data is damaged; `last` is set too
};

// One inflating side: reads and inflates its share of the members (every
// n-th file) one after the other into a ring of chunks, through its own
// handle on the archive. With a thread of its own it runs ahead of the
// writing side by up to the ring's size; without one (no thread or no
// condition variables), Next inflates each chunk just before it is written.
class Inflater {
public:
    Inflater(const std::vector<ZipMember>& members, const std::vector<size_t>& owner, size_t me,
             uint64_t dataLimit)
        : members_(members), owner_(owner), me_(me), dataLimit_(dataLimit)
    {
    }
    ~Inflater() { Stop(); }
    bool Open(const char* archivePath);
    bool Close();  // false when the archive could not be closed
    void StartThread(const ConditionCalls& calls);
    // The next chunk of this side's current member, or null when it has no
    // member left; Release gives the chunk back once it is written.
    Chunk* Next(StageClock& clock);
    void Release();
    // Stops the thread (waiting for it, or on the spot when `wait` is false).
    void Stop(bool wait = true);
    const StageClock& Clock() const { return clock_; }

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Loop();
    bool Produce(Chunk& chunk);  // false when no member is left
    bool StartMember(Chunk& chunk);

    const std::vector<ZipMember>& members_;
    const std::vector<size_t>& owner_;  // inflater of each member
    const size_t me_;
    const uint64_t dataLimit_;
    ArchiveFile file_;
    z_stream zs_{};
    bool zsReady_ = false;
    StageClock clock_;

    // The ring: the thread fills slots_[head_], the writing side empties
    // slots_[tail_]; filled_ counts the filled slots. filled_ and stop_ are
    // guarded by lock_.
    std::vector<Chunk> slots_ = std::vector<Chunk>(1);
    size_t head_ = 0;
    size_t tail_ = 0;
    size_t filled_ = 0;
    bool stop_ = false;
    const ConditionCalls* calls_ = nullptr;
    CRITICAL_SECTION lock_;
    bool lockReady_ = false;
    ConditionCalls::Variable notEmpty_, notFull_;
    HANDLE thread_ = nullptr;

    // State of the member being inflated, touched only by the producing side.
    size_t producing_ = 0;  // member being inflated, or where to look for the next one
    bool inMember_ = false;
    uint64_t readPos_ = 0;
    uint64_t remainingIn_ = 0;
    uint64_t producedOut_ = 0;
    uint32_t crc_ = 0;
};

// The writing side (the caller's thread, inside exec) creates the files and
// writes the chunks that the inflaters give, in archive order. Where the
// system gives threads and condition variables, two inflaters run on
// threads of their own, one for the odd and one for the even files, so the
// next members are inflated on both cores while the current one is written
// and while the caller records the files.
class Session {
public:
    ~Session() { End(); }
    int Init(const char* archivePath, const char* destinationDir, int base, int share, HWND window,
             UINT message, volatile LONG* cancelFlag);
    int Exec(char* nameBuffer, DWORD* auxValue);
    bool End();
    void Abandon();

private:
    enum class Outcome { Written, Failed, Stopped };

    int ExecNext(char* nameBuffer, DWORD* auxValue);
    bool Cancelled() const { return cancelFlag_ && *cancelFlag_ == 1; }
    void Report(uint64_t moreBytes);
    bool EnsureDirectory(const std::string& dir);
    void MakeDirectory(const std::string& dir);
    Outcome WriteMember(size_t index, const std::string& path);
    Outcome WriteData(size_t index, HANDLE out);

    ArchiveFile file_;
    std::vector<ZipMember> members_;
    std::vector<size_t> owner_;
    std::vector<std::unique_ptr<Inflater>> inflaters_;
    ConditionCalls calls_;
    uint64_t dataLimit_ = 0;
    size_t next_ = 0;
    std::string destination_;  // full path, with a trailing "\"
    std::set<std::string> knownDirectories_;
    StageClock clock_;
    int64_t lastReturn_ = 0;  // when exec last returned

    int base_ = 0;
    int share_ = 0;
    HWND window_ = nullptr;
    UINT message_ = 0;
    bool callerTimes_ = false;  // the window gave the times of every file
    CunpackFileTimes times_{};
    volatile LONG* cancelFlag_ = nullptr;
    uint64_t totalBytes_ = 0;
    uint64_t doneBytes_ = 0;
    int lastPercent_ = -1;
    int sticky_ = -1;  // result repeated after an error or a stop
};

int Session::Init(const char* archivePath, const char* destinationDir, int base, int share, HWND window,
                  UINT message, volatile LONG* cancelFlag)
{
    base_ = base;
    share_ = share < 0 ? 0 : share;
    window_ = window;
    message_ = message;
    cancelFlag_ = cancelFlag;

    if (!archivePath || !*archivePath || !destinationDir || !*destinationDir) {
        Trace("init: no archive or no destination given");
        return CUNPACK_FAILED;
    }
    destination_ = FullPath(destinationDir);
    if (destination_.empty() || RootLength(destination_) == 0) {
        Trace(std::string("init: unusable destination ") + destinationDir);
        return CUNPACK_FAILED;
    }
    if (destination_.back() != '\\') destination_ += '\\';

    if (!file_.Open(archivePath)) {
        Trace(std::string("init: cannot open ") + archivePath);
        return CUNPACK_FAILED;
    }
    std::string why;
    if (!ReadCentralDirectory(file_, members_, dataLimit_, why)) {
        Trace(std::string(archivePath) + ": " + why);
        return CUNPACK_FAILED;
    }
    for (const ZipMember& m : members_) {
        totalBytes_ += m.size;
        // A name without an ANSI form stops exec when its turn comes.
        if (!m.nameFits) continue;
        // The full path, terminating zero included, must fit the name buffer.
        if (destination_.size() + m.name.size() + 1 > CUNPACK_NAME_BUFFER) {
            Trace(std::string(archivePath) + ": name too long for the buffer: " + m.shownName);
            return CUNPACK_FAILED;
        }
        // Belt and braces: the system must see exactly the path we built,
        // inside the destination.
        std::string path = destination_ + m.name;
        if (FullPath(path) != path) {
            Trace(std::string(archivePath) + ": member would land elsewhere: " + m.shownName);
            return CUNPACK_FAILED;
        }
    }
    // Files go to the inflaters in turn, each with its own handle on the
    // archive; one inflater, without a thread, where the system has no
    // condition variables.
    size_t files = 0;
    for (const ZipMember& m : members_) files += !m.isDirectory;
    size_t count = calls_.Ready() && files > 1 ? 2 : 1;
    owner_.assign(members_.size(), SIZE_MAX);
    size_t ordinal = 0;
    for (size_t i = 0; i < members_.size(); ++i)
        if (!members_[i].isDirectory) owner_[i] = ordinal++ % count;
    for (size_t i = 0; i < count; ++i) {
        inflaters_.emplace_back(new Inflater(members_, owner_, i, dataLimit_));
        if (!inflaters_.back()->Open(archivePath)) {
            Trace(std::string("init: cannot open ") + archivePath + " again");
            return CUNPACK_FAILED;
        }
    }
    if (files) {
        for (auto& inflater : inflaters_) inflater->StartThread(calls_);
    }
    if (window_)
        callerTimes_ = SendMessageA(window_, CUNPACK_FILE_TIMES, 0, reinterpret_cast<LPARAM>(&times_)) ==
                       CUNPACK_ANSWER_TIMES;
    Report(0);
    return CUNPACK_READY;
}

void Session::Report(uint64_t moreBytes)
{
    doneBytes_ += moreBytes;
    int percent;
    if (totalBytes_ == 0)
        percent = next_ >= members_.size() ? base_ + share_ : base_;
    else
        percent = base_ + int(uint64_t(share_) * (doneBytes_ < totalBytes_ ? doneBytes_ : totalBytes_) /
                              totalBytes_);
    if (percent < lastPercent_) percent = lastPercent_;
    lastPercent_ = percent;
    if (window_) SendMessageA(window_, message_, WPARAM(percent), 0);
}

void Session::MakeDirectory(const std::string& dir)
{
    // The window notes the level as made by this run before it is made.
    if (window_) SendMessageA(window_, CUNPACK_MAKING_FOLDER, 0, reinterpret_cast<LPARAM>(dir.c_str()));
    CreateDirectoryA(dir.c_str(), nullptr);
}

bool Session::EnsureDirectory(const std::string& dir)
{
    if (knownDirectories_.count(dir)) return true;
    int64_t t = StageClock::Now();
    struct Count {
        StageClock& clock;
        int64_t t;
        ~Count() { clock.Add(kStageDirectories, t); }
    } count{clock_, t};
    if (!IsDirectory(dir)) {
        size_t root = RootLength(dir);
        for (size_t at = NextSeparator(dir, root); at != std::string::npos; at = NextSeparator(dir, at + 1)) {
            std::string part = dir.substr(0, at);
            if (!part.empty() && !IsDirectory(part)) MakeDirectory(part);
        }
        MakeDirectory(dir);
        if (!IsDirectory(dir)) {
            Trace("cannot create directory " + dir);
            return false;
        }
    }
    knownDirectories_.insert(dir);
    return true;
}

// --- inflating side ---------------------------------------------------------

bool Inflater::Open(const char* archivePath)
{
    if (!file_.Open(archivePath)) return false;
    if (inflateInit2(&zs_, -MAX_WBITS) != Z_OK) return false;
    zsReady_ = true;
    return true;
}

bool Inflater::Close()
{
    Stop();
    if (zsReady_) inflateEnd(&zs_);
    zsReady_ = false;
    return file_.Close();
}

void Inflater::StartThread(const ConditionCalls& calls)
{
    if (!calls.Ready()) return;
    calls_ = &calls;
    InitializeCriticalSection(&lock_);
    lockReady_ = true;
    calls.init(&notEmpty_);
    calls.init(&notFull_);
    slots_.resize(kChunkSlots);
    DWORD id = 0;
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, &id);
    if (!thread_) slots_.resize(1);  // Next inflates itself
}

DWORD WINAPI Inflater::ThreadMain(void* self)
{
    static_cast<Inflater*>(self)->Loop();
    return 0;
}

void Inflater::Loop()
{
    for (;;) {
        EnterCriticalSection(&lock_);
        while (filled_ == slots_.size() && !stop_) calls_->sleep(&notFull_, &lock_, INFINITE);
        bool stop = stop_;
        LeaveCriticalSection(&lock_);
        if (stop) return;
        Chunk& chunk = slots_[head_ % slots_.size()];
        if (!Produce(chunk)) return;
        ++head_;
        EnterCriticalSection(&lock_);
        ++filled_;
        calls_->wake(&notEmpty_);
        LeaveCriticalSection(&lock_);
        if (chunk.failed) return;
    }
}

Chunk* Inflater::Next(StageClock& clock)
{
    if (!thread_) {
        Chunk& chunk = slots_[0];
        if (!Produce(chunk)) return nullptr;
        return &chunk;
    }
    // The thread fills a slot for every member of this side up to a
    // damaged one, so a slot comes unless the thread has ended with a
    // failure, which the writing side has seen before it asks again.
    int64_t t = StageClock::Now();
    EnterCriticalSection(&lock_);
    while (filled_ == 0) calls_->sleep(&notEmpty_, &lock_, INFINITE);
    LeaveCriticalSection(&lock_);
    clock.Add(kStageWaitData, t);
    return &slots_[tail_ % slots_.size()];
}

void Inflater::Release()
{
    if (!thread_) return;
    ++tail_;
    EnterCriticalSection(&lock_);
    --filled_;
    calls_->wake(&notFull_);
    LeaveCriticalSection(&lock_);
}

void Inflater::Stop(bool wait)
{
    if (thread_) {
        if (wait) {
            EnterCriticalSection(&lock_);
            stop_ = true;
            calls_->wake(&notFull_);
            LeaveCriticalSection(&lock_);
            WaitForSingleObject(thread_, INFINITE);
        } else {
            TerminateThread(thread_, 0);
        }
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (lockReady_) DeleteCriticalSection(&lock_);
    lockReady_ = false;
}

bool Inflater::StartMember(Chunk& chunk)
{
    const ZipMember& m = members_[producing_];
    std::string why;
    if (!LocateMemberData(file_, m, dataLimit_, readPos_, why)) {
        Trace(why);
        chunk.failed = chunk.last = true;
        return false;
    }
    remainingIn_ = m.compressedSize;
    producedOut_ = 0;
    crc_ = crc32(0L, Z_NULL, 0);
    if (m.method == 8) {
        inflateReset(&zs_);
        zs_.avail_in = 0;
    }
    inMember_ = true;
    return true;
}

bool Inflater::Produce(Chunk& chunk)
{
    int64_t started = StageClock::Now();
    struct Count {
        StageClock& clock;
        int64_t t;
        ~Count() { clock.Add(kStageInflate, t); }
    } count{clock_, started};

    while (!inMember_ && producing_ < members_.size() && owner_[producing_] != me_) ++producing_;
    if (producing_ >= members_.size()) return false;
    const ZipMember& m = members_[producing_];
    chunk.member = producing_;
    chunk.size = 0;
    chunk.last = chunk.failed = false;
    if (!inMember_ && !StartMember(chunk)) return true;

    auto fail = [&](const std::string& why) {
        Trace(why);
        chunk.failed = chunk.last = true;
        return true;
    };
    unsigned char* out = chunk.data.get();
    bool ended = false;
    if (m.method == 0) {
        size_t take = size_t(remainingIn_ < kOutputChunk ? remainingIn_ : kOutputChunk);
        if (take && !file_.ReadAt(readPos_, out, take)) return fail("archive ends inside member " + m.shownName);
        readPos_ += take;
        remainingIn_ -= take;
        chunk.size = take;
        ended = remainingIn_ == 0;
    } else {
        zs_.next_out = out;
        zs_.avail_out = uInt(kOutputChunk);
        while (zs_.avail_out > 0) {
            if (zs_.avail_in == 0 && remainingIn_ > 0) {
                size_t avail = 0;
                const unsigned char* p = file_.Peek(readPos_, avail);
                if (!p) return fail("archive ends inside member " + m.shownName);
                size_t take = size_t(avail < remainingIn_ ? avail : remainingIn_);
                readPos_ += take;
                remainingIn_ -= take;
                zs_.next_in = const_cast<Bytef*>(p);
                zs_.avail_in = uInt(take);
            }
            int rc = inflate(&zs_, Z_NO_FLUSH);
            if (rc == Z_STREAM_END) {
                ended = true;
                break;
            }
            if (rc == Z_BUF_ERROR && zs_.avail_in == 0 && remainingIn_ == 0)
                return fail("deflate data of " + m.shownName + " ends too early");
            if (rc != Z_OK && rc != Z_BUF_ERROR) return fail("damaged deflate data in " + m.shownName);
        }
        chunk.size = kOutputChunk - zs_.avail_out;
    }
    if (producedOut_ + chunk.size > m.size) return fail("member is larger than its recorded size: " + m.shownName);
    producedOut_ += chunk.size;
    crc_ = crc32(crc_, out, uInt(chunk.size));
    if (ended) {
        inMember_ = false;
        ++producing_;
        chunk.last = true;
        if (producedOut_ != m.size) return fail("member is shorter than its recorded size: " + m.shownName);
        if (crc_ != m.crc) return fail("CRC-32 mismatch in " + m.shownName);
    }
    return true;
}

// --- writing side -----------------------------------------------------------

Session::Outcome Session::WriteData(size_t index, HANDLE out)
{
    Inflater& inflater = *inflaters_[owner_[index]];
    for (;;) {
        Chunk* chunk = inflater.Next(clock_);
        if (!chunk || chunk->member != index) {
            Trace("inflated data out of step with " + members_[index].shownName);
            return Outcome::Failed;
        }
        bool last = chunk->last, failed = chunk->failed;
        size_t size = chunk->size;
        if (size && !failed) {
            DWORD done = 0;
            int64_t t = StageClock::Now();
            BOOL ok = WriteFile(out, chunk->data.get(), DWORD(size), &done, nullptr);
            clock_.Add(kStageWrite, t);
            if (!ok || done != size) {
                inflater.Release();
                Trace("cannot write " + members_[index].shownName);
                return Outcome::Failed;
            }
        }
        inflater.Release();
        if (failed) return Outcome::Failed;
        if (size) Report(size);
        if (last) return Outcome::Written;
        if (Cancelled()) return Outcome::Stopped;
    }
}

Session::Outcome Session::WriteMember(size_t index, const std::string& path)
{
    const ZipMember& m = members_[index];
    // A new file is written in place. An existing one is only replaced once
    // the new data has been checked, so a damaged member loses nothing.
    std::string target = path;
    bool replacing = false;
    int64_t t = StageClock::Now();
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    clock_.Add(kStageCreate, t);
    if (out == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) {
            Trace("cannot create " + path);
            return Outcome::Failed;
        }
        // The caller's window may keep the old file itself: then the new
        // one is written in its place; or forbid the write.
        LRESULT answer = window_ ? SendMessageA(window_, CUNPACK_REPLACING, 0, reinterpret_cast<LPARAM>(path.c_str())) : 0;
        if (answer == CUNPACK_ANSWER_REFUSED) {
            Trace("the caller keeps " + path + " from being replaced");
            return Outcome::Failed;
        }
        if (answer == CUNPACK_ANSWER_KEPT) {
            out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (out == INVALID_HANDLE_VALUE) {
                Trace("cannot create " + path);
                return Outcome::Failed;
            }
        }
    }
    if (out == INVALID_HANDLE_VALUE) {
        std::string dir = path.substr(0, LastSeparator(path));
        char temp[MAX_PATH];
        if (!GetTempFileNameA(dir.c_str(), "CUN", 0, temp)) {
            Trace("cannot create a temporary file in " + dir);
            return Outcome::Failed;
        }
        target = temp;
        replacing = true;
        out = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE) {
            DeleteFileA(temp);
            Trace("cannot create " + target);
            return Outcome::Failed;
        }
    }

    Outcome outcome = WriteData(index, out);
    t = StageClock::Now();
    if (outcome == Outcome::Written && callerTimes_) {
        SetFileTime(out, &times_.created, &times_.accessed, &times_.written);
    } else if (outcome == Outcome::Written) {
        FILETIME local, utc;
        if (DosDateTimeToFileTime(m.dosDate, m.dosTime, &local) && LocalFileTimeToFileTime(&local, &utc))
            SetFileTime(out, nullptr, nullptr, &utc);
    }
    if (!CloseHandle(out) && outcome == Outcome::Written) outcome = Outcome::Failed;
    clock_.Add(kStageClose, t);
    if (outcome != Outcome::Written) {
        DeleteFileA(target.c_str());
        return outcome;
    }
    if (replacing) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!MoveFileExA(target.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) &&
            !(GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && DeleteFileA(path.c_str()) &&
              MoveFileA(target.c_str(), path.c_str()))) {
            DeleteFileA(target.c_str());
            Trace("cannot replace " + path);
            return Outcome::Failed;
        }
        // A file moved over another may come out with the older one's
        // creation time (the file system's name tunnelling, or Wine's
        // stand-in for creation times): the caller's times go on again.
        if (callerTimes_) {
            HANDLE again = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (again != INVALID_HANDLE_VALUE) {
                SetFileTime(again, &times_.created, &times_.accessed, &times_.written);
                CloseHandle(again);
            }
        }
    }
    return Outcome::Written;
}

int Session::Exec(char* nameBuffer, DWORD* auxValue)
{
    if (lastReturn_) clock_.Add(kStageCaller, lastReturn_);
    int rc = ExecNext(nameBuffer, auxValue);
    lastReturn_ = StageClock::Now();
    return rc;
}

int Session::ExecNext(char* nameBuffer, DWORD* auxValue)
{
    if (sticky_ >= 0) return sticky_;
    for (;;) {
        if (Cancelled()) return sticky_ = CUNPACK_STOPPED;
        if (next_ >= members_.size()) {
            Report(0);
            return CUNPACK_DONE;
        }
        size_t index = next_++;
        const ZipMember& m = members_[index];
        if (!m.nameFits) {
            Trace("member name has no form in the ANSI code page: " + m.shownName);
            return sticky_ = CUNPACK_FAILED;
        }
        std::string path = destination_ + m.name;
        if (m.isDirectory) {
            if (!EnsureDirectory(path)) return sticky_ = CUNPACK_FAILED;
            continue;
        }
        if (!EnsureDirectory(path.substr(0, LastSeparator(path)))) return sticky_ = CUNPACK_FAILED;
        switch (WriteMember(index, path)) {
        case Outcome::Failed:
            return sticky_ = CUNPACK_FAILED;
        case Outcome::Stopped:
            return sticky_ = CUNPACK_STOPPED;
        case Outcome::Written:
            break;
        }
        if (nameBuffer) lstrcpynA(nameBuffer, path.c_str(), CUNPACK_NAME_BUFFER);
        if (auxValue) *auxValue = DWORD(m.size);  // the low 32 bits past 4 GB
        return CUNPACK_FILE_WRITTEN;
    }
}

void Session::Abandon()
{
    for (auto& inflater : inflaters_) inflater->Stop(false);
    End();
}

bool Session::End()
{
    bool clean = true;
    for (auto& inflater : inflaters_) {
        clean = inflater->Close() && clean;
        clock_.Take(inflater->Clock(), kStageInflate);
    }
    if (lastReturn_) Trace(clock_.Text());
    lastReturn_ = 0;
    inflaters_.clear();
    return file_.Close() && clean;
}

// A library unloaded without exit (the installer always calls exit) must
// not wait for the inflating thread inside the loader, where that thread
// cannot end: it is stopped where it stands.
struct SessionHolder {
    std::unique_ptr<Session> session;
    ~SessionHolder()
    {
        if (session) session->Abandon();
    }
};
SessionHolder g_holder;
std::unique_ptr<Session>& g_session = g_holder.session;

}  // namespace
}  // namespace cunpack

using cunpack::g_session;
using cunpack::Session;

// The exported names ("_cunpack_init@28" and the others) come from the
// module-definition file cunpack.def.in alone, so that the 32-bit and the
// 64-bit library export exactly the same three names.
extern "C" {

int WINAPI cunpack_init(const char* archivePath, const char* destinationDir, int progressBase,
                        int progressShare, HWND window, UINT message, volatile LONG* cancelFlag)
{
    try {
        if (g_session) g_session->End();
        g_session.reset(new Session);
        int rc = g_session->Init(archivePath, destinationDir, progressBase, progressShare, window, message,
                                 cancelFlag);
        if (rc != CUNPACK_READY) {
            g_session->End();
            g_session.reset();
        }
        return rc;
    } catch (...) {
        g_session.reset();
        return CUNPACK_FAILED;
    }
}

int WINAPI cunpack_exec(char* nameBuffer, DWORD* auxValue)
{
    if (!g_session) return CUNPACK_FAILED;
    try {
        return g_session->Exec(nameBuffer, auxValue);
    } catch (...) {
        return CUNPACK_FAILED;
    }
}

int WINAPI cunpack_exit(void)
{
    if (!g_session) return CUNPACK_DONE;
    bool clean = g_session->End();
    g_session.reset();
    return clean ? CUNPACK_DONE : CUNPACK_FAILED;
}

}  // extern "C"
