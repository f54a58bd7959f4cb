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

// Where the time goes, traced when the archive is closed (the benchmark
// reads it from the debug output).
enum Stage { kStageDirectories, kStageCreate, kStageInflate, kStageWrite, kStageClose, kStageCaller, kStageCount };
const char* const kStageNames[kStageCount] = {"directories", "create", "read+inflate", "write", "times+close",
                                              "caller between exec calls"};

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
    std::string Text() const
    {
        std::string text = "stage timings:";
        char part[64];
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

class Session {
public:
    int Init(const char* archivePath, const char* destinationDir, int base, int share, HWND window,
             UINT message, volatile LONG* cancelFlag);
    int Exec(char* nameBuffer, DWORD* auxValue);
    int ExecNext(char* nameBuffer, DWORD* auxValue);
    bool End();

private:
    enum class Outcome { Written, Failed, Stopped };

    bool Cancelled() const { return cancelFlag_ && *cancelFlag_ == 1; }
    void Report(uint64_t moreBytes);
    bool EnsureDirectory(const std::string& dir);
    Outcome WriteMember(const ZipMember& m, const std::string& path);
    Outcome CopyData(const ZipMember& m, uint64_t dataPos, HANDLE out);

    ArchiveFile file_;
    std::vector<ZipMember> members_;
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
    volatile LONG* cancelFlag_ = nullptr;
    uint64_t totalBytes_ = 0;
    uint64_t doneBytes_ = 0;
    int lastPercent_ = -1;

    int sticky_ = -1;  // result repeated after an error or a stop
    std::vector<unsigned char> output_;
    z_stream zs_{};
    bool zsReady_ = false;
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
            Trace(std::string(archivePath) + ": name too long for the buffer: " + m.name);
            return CUNPACK_FAILED;
        }
        // Belt and braces: the system must see exactly the path we built,
        // inside the destination.
        std::string path = destination_ + m.name;
        if (FullPath(path) != path) {
            Trace(std::string(archivePath) + ": member would land elsewhere: " + m.name);
            return CUNPACK_FAILED;
        }
    }
    if (inflateInit2(&zs_, -MAX_WBITS) != Z_OK) return CUNPACK_FAILED;
    zsReady_ = true;
    output_.resize(kOutputChunk);
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
            if (!part.empty() && !IsDirectory(part)) CreateDirectoryA(part.c_str(), nullptr);
        }
        CreateDirectoryA(dir.c_str(), nullptr);
        if (!IsDirectory(dir)) {
            Trace("cannot create directory " + dir);
            return false;
        }
    }
    knownDirectories_.insert(dir);
    return true;
}

Session::Outcome Session::CopyData(const ZipMember& m, uint64_t pos, HANDLE out)
{
    uint32_t crc = crc32(0L, Z_NULL, 0);
    uint64_t remainingIn = m.compressedSize;
    uint64_t written = 0;
    auto put = [&](const unsigned char* data, size_t n) -> bool {
        if (written + n > m.size) {
            Trace("member is larger than its recorded size: " + m.name);
            return false;
        }
        crc = crc32(crc, data, uInt(n));
        DWORD done = 0;
        int64_t t = StageClock::Now();
        BOOL ok = WriteFile(out, data, DWORD(n), &done, nullptr);
        clock_.Add(kStageWrite, t);
        if (!ok || done != n) {
            Trace("cannot write " + m.name);
            return false;
        }
        written += n;
        return true;
    };

    // The next piece of the member's data in the archive, at most `limit`
    // bytes; null when the archive ends inside the member.
    auto next = [&](size_t limit, size_t& take) -> const unsigned char* {
        size_t avail = 0;
        const unsigned char* p = file_.Peek(pos, avail);
        if (!p) {
            Trace("archive ends inside member " + m.name);
            return nullptr;
        }
        take = size_t(avail < remainingIn ? avail : remainingIn);
        if (take > limit) take = limit;
        pos += take;
        remainingIn -= take;
        return p;
    };

    if (m.method == 0) {
        while (remainingIn > 0) {
            size_t take = 0;
            const unsigned char* p = next(kOutputChunk, take);
            if (!p) return Outcome::Failed;
            if (!put(p, take)) return Outcome::Failed;
            Report(take);
            if (remainingIn > 0 && Cancelled()) return Outcome::Stopped;
        }
    } else {
        inflateReset(&zs_);
        zs_.avail_in = 0;
        for (;;) {
            if (zs_.avail_in == 0 && remainingIn > 0) {
                size_t take = 0;
                const unsigned char* p = next(UINT32_MAX, take);
                if (!p) return Outcome::Failed;
                zs_.next_in = const_cast<Bytef*>(p);
                zs_.avail_in = uInt(take);
            }
            zs_.next_out = output_.data();
            zs_.avail_out = uInt(output_.size());
            int64_t t = StageClock::Now();
            int rc = inflate(&zs_, Z_NO_FLUSH);
            clock_.Add(kStageInflate, t);
            size_t produced = output_.size() - zs_.avail_out;
            if (produced) {
                if (!put(output_.data(), produced)) return Outcome::Failed;
                Report(produced);
            }
            if (rc == Z_STREAM_END) break;
            if (rc == Z_BUF_ERROR && zs_.avail_in == 0 && remainingIn == 0) {
                Trace("deflate data of " + m.name + " ends too early");
                return Outcome::Failed;
            }
            if (rc != Z_OK && rc != Z_BUF_ERROR) {
                Trace("damaged deflate data in " + m.name);
                return Outcome::Failed;
            }
            if (Cancelled()) return Outcome::Stopped;
        }
    }
    if (written != m.size) {
        Trace("member is shorter than its recorded size: " + m.name);
        return Outcome::Failed;
    }
    if (crc != m.crc) {
        Trace("CRC-32 mismatch in " + m.name);
        return Outcome::Failed;
    }
    return Outcome::Written;
}

Session::Outcome Session::WriteMember(const ZipMember& m, const std::string& path)
{
    uint64_t dataPos = 0;
    std::string why;
    if (!LocateMemberData(file_, m, dataLimit_, dataPos, why)) {
        Trace(why);
        return Outcome::Failed;
    }

    // A new file is written in place. An existing one is only replaced once
    // the new data has been checked, so a damaged member loses nothing.
    std::string target = path;
    bool replacing = false;
    int64_t t = StageClock::Now();
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    clock_.Add(kStageCreate, t);
    if (out == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) {
            Trace("cannot create " + path);
            return Outcome::Failed;
        }
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

    Outcome outcome = CopyData(m, dataPos, out);
    t = StageClock::Now();
    if (outcome == Outcome::Written) {
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
        const ZipMember& m = members_[next_++];
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
        switch (WriteMember(m, path)) {
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

bool Session::End()
{
    if (lastReturn_) Trace(clock_.Text());
    if (zsReady_) inflateEnd(&zs_);
    zsReady_ = false;
    return file_.Close();
}

std::unique_ptr<Session> g_session;

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
