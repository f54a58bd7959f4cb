#include "script/InstallLog.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <deque>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "fsutil/FsUtil.h"
#include "script/IniText.h"
#include "fw/ResString.h"
#include "resources/resource.h"
#include "state/ComponentFlags.h"


namespace {

std::string Entry(int number, const std::string& text)
{
    return std::to_string(number) + "," + text;
}

// Paths, section names and keys compare without regard to case, as the
// system compares them.
std::string Folded(std::string text)
{
    if (!text.empty()) CharUpperBuffA(text.data(), (DWORD)text.size());
    return text;
}

bool SamePath(const std::string& a, const std::string& b)
{
    return a == b || (a.size() == b.size() && Folded(a) == Folded(b));
}

long CounterAfter(const std::string& last)
{
    return last.empty() ? 1 : std::strtol(last.c_str(), nullptr, 10) + 1;
}

// ---- the "DirList" text ---------------------------------------------------

// The directory an entry of the text names: the preparation's entries are
// "number,directory", the records' entries "directory".
std::string EntryDirectory(const std::string& entry)
{
    size_t digits = 0;
    while (digits < entry.size() && entry[digits] >= '0' && entry[digits] <= '9') ++digits;
    if (digits > 0 && digits < entry.size() && entry[digits] == ',') return entry.substr(digits + 1);
    return entry;
}

// The text with the directories its entries name, for whole-entry lookups:
// a directory is listed when an entry names it, not when its name occurs
// inside a longer one (C:\VELOMIR\DOC inside C:\VELOMIR\DOCS).
class DirList {
public:
    explicit DirList(std::string text) : text_(std::move(text))
    {
        size_t start = 0;
        while (start <= text_.size()) {
            size_t end = text_.find(';', start);
            if (end == std::string::npos) end = text_.size();
            if (end > start) listed_.insert(Folded(EntryDirectory(text_.substr(start, end - start))));
            start = end + 1;
        }
    }
    bool Lists(const std::string& directory) const { return listed_.count(Folded(directory)) != 0; }
    // Appends ";" + entry, an entry that names `directory`.
    void Append(const std::string& entry, const std::string& directory)
    {
        text_ += ";" + entry;
        listed_.insert(Folded(directory));
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    std::unordered_set<std::string> listed_;
};

// ---- the records kept in memory ---------------------------------------------

// A section's lines ("key=value") as this batch last wrote them, with the
// place of each key.
struct SectionCopy {
    std::vector<std::string> lines;
    std::unordered_map<std::string, size_t> position;  // folded key -> its first line
};

// What identifies a state of the file: its last write time and size.
struct FileStamp {
    FILETIME written{};
    DWORD sizeHigh = 0, sizeLow = 0;
    bool operator==(const FileStamp& o) const
    {
        return written.dwLowDateTime == o.written.dwLowDateTime &&
               written.dwHighDateTime == o.written.dwHighDateTime && sizeHigh == o.sizeHigh &&
               sizeLow == o.sizeLow;
    }
};

FileStamp StampOf(const std::string& path)
{
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        stamp.written = data.ftLastWriteTime;
        stamp.sizeHigh = data.nFileSizeHigh;
        stamp.sizeLow = data.nFileSizeLow;
    }
    return stamp;
}

// One log written while a batch is open: what waits for the next
// checkpoint, and what the batch knows of the file so that it need not
// read it again for every record or every checkpoint (during a batch only
// these routines write the log; the copies of the sections are trusted
// only while the file is as the last checkpoint left it).
struct BatchedLog {
    std::string path;
    std::vector<PendingSection> pending;  // in the order of their first setting
    std::unordered_map<std::string, long> last;  // folded section -> its "Last"
    bool dirListKnown = false;
    DirList dirList{""};
    std::unordered_map<std::string, SectionCopy> copies;  // folded section -> its lines
    std::unordered_map<std::string, size_t> room;  // folded section -> buffer size to read it
    FileStamp stamp;  // the file as the last checkpoint left it

    PendingSection& Pending(const char* section)
    {
        if (!pending.empty() && lstrcmpiA(pending.back().name.c_str(), section) == 0) return pending.back();
        for (PendingSection& p : pending)
            if (lstrcmpiA(p.name.c_str(), section) == 0) return p;
        pending.push_back(PendingSection{section, {}, {}});
        return pending.back();
    }
    // Forgets what the batch knew of the file (the file has been written
    // or replaced another way).
    void Forget()
    {
        last.clear();
        dirListKnown = false;
        copies.clear();
    }
};

struct RunList {
    std::string path;
    std::string section;
    std::vector<LoggedEntry> entries;
};

struct LogBook {
    int batches = 0;
    HHOOK windowHook = nullptr;
    std::deque<BatchedLog> logs;  // a deque: references stay valid as it grows
    std::vector<RunList> run;  // every entry this process appended

    BatchedLog* Find(const std::string& path)
    {
        for (BatchedLog& log : logs)
            if (SamePath(log.path, path)) return &log;
        return nullptr;
    }
    BatchedLog& Log(const std::string& path)
    {
        if (BatchedLog* log = Find(path)) return *log;
        BatchedLog log;
        log.path = path;
        logs.push_back(std::move(log));
        return logs.back();
    }
    RunList& Run(const std::string& path, const char* section)
    {
        // The list of the last record first: records come in long runs of
        // one section.
        if (!run.empty() && lstrcmpiA(run.back().section.c_str(), section) == 0 &&
            SamePath(run.back().path, path))
            return run.back();
        for (RunList& list : run)
            if (lstrcmpiA(list.section.c_str(), section) == 0 && SamePath(list.path, path)) return list;
        run.push_back(RunList{path, section, {}});
        return run.back();
    }
};

LogBook& Book()
{
    static LogBook book;
    return book;
}

bool Batching()
{
    return Book().batches > 0;
}

// Every "key=value" line of a section as GetPrivateProfileSection gives
// them. `room` is the buffer size to start with; it is left at the size
// that was needed, for the next read of the same growing section.
std::vector<std::string> ReadSectionLines(const std::string& path, const std::string& section, size_t& room)
{
    std::vector<char> buffer(room < 4096 ? 4096 : room);
    DWORD n = 0;
    for (;;) {
        n = GetPrivateProfileSectionA(section.c_str(), buffer.data(), (DWORD)buffer.size(), path.c_str());
        // A section that does not fit comes back cut, its length the
        // buffer's less two: read again with more room.
        if (n + 2 < buffer.size() || buffer.size() >= (1u << 28)) break;
        buffer.resize(buffer.size() * 2);
    }
    // A quarter more, so that a section that grows between checkpoints
    // seldom needs a second read.
    room = std::max<size_t>(room, n + n / 4 + 2);
    std::vector<std::string> lines;
    for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += lstrlenA(p) + 1) lines.push_back(p);
    return lines;
}

// ---- a checkpoint through the profile calls -------------------------------------

// Writes one section's pending keys: its lines with each pending key set
// the way WritePrivateProfileString sets it (an existing key, the first of
// that name, keeps its place and gets the new value; a new key goes to the
// end; a new section goes to the end of the file), written back in one
// WritePrivateProfileSection. False when the system refused. Used for the
// files that WriteIntoText does not take; its cost grows with the square
// of the section's keys (see above).
bool WritePending(BatchedLog& log, const PendingSection& pending)
{
    const std::string name = FoldedIniKey(pending.name);
    auto copy = log.copies.find(name);
    if (copy == log.copies.end()) {
        SectionCopy read;
        read.lines = ReadSectionLines(log.path, pending.name, log.room[name]);
        for (size_t i = 0; i < read.lines.size(); ++i)
            read.position.emplace(FoldedIniKey(read.lines[i].substr(0, read.lines[i].find('='))), i);
        copy = log.copies.emplace(name, std::move(read)).first;
    }
    SectionCopy& section = copy->second;
    for (const auto& [key, value] : pending.keys) {
        auto found = section.position.find(FoldedIniKey(key));
        if (found != section.position.end()) {
            std::string& line = section.lines[found->second];
            line = line.substr(0, line.find('=')) + "=" + value;
        } else {
            section.position.emplace(FoldedIniKey(key), section.lines.size());
            section.lines.push_back(key + "=" + value);
        }
    }
    std::string text;
    for (const std::string& line : section.lines) text.append(line).push_back('\0');
    text.push_back('\0');
    if (WritePrivateProfileSectionA(pending.name.c_str(), text.data(), log.path.c_str())) return true;
    log.copies.erase(copy);  // what the file holds now is unknown
    return false;
}

void FlushLog(BatchedLog& log)
{
    if (log.pending.empty()) return;
    switch (WriteIntoFile(log.path, log.pending)) {
    case TextWrite::Done:
        log.pending.clear();
        log.copies.clear();  // the section copies of the profile-call way are out of date
        log.stamp = StampOf(log.path);
        return;
    case TextWrite::Refused: return;  // everything waits for the next checkpoint
    case TextWrite::Unusual: break;
    }
    if (!(StampOf(log.path) == log.stamp)) log.copies.clear();
    std::vector<PendingSection> refused;
    for (const PendingSection& pending : log.pending)
        if (!WritePending(log, pending)) refused.push_back(pending);
    log.pending = std::move(refused);
    log.stamp = StampOf(log.path);
}

// Before a window that is not a child is created on the batch's thread
// (a message box, a question, the diskette prompt, another page): the
// user may stop the install from there, or the process may end while it
// waits, so the log must be whole on disk before it appears. A hook
// catches every such window, whoever shows it.
LRESULT CALLBACK FlushBeforeWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CBT_CREATEWNDA* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        if (create && create->lpcs && !(create->lpcs->style & WS_CHILD)) FlushInstallLog();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void SetValue(const std::string& logPath, const char* section, const std::string& key,
              const std::string& value)
{
    if (logPath.empty()) return;
    if (Batching())
        Book().Log(logPath).Pending(section).Set(key, value);
    else
        WritePrivateProfileStringA(section, key.c_str(), value.c_str(), logPath.c_str());
}

// The number the next entry of `section` gets: its "Last" plus 1, 1 when
// "Last" is empty. A batch reads "Last" once and counts in memory.
long NextNumber(const std::string& logPath, const char* section)
{
    if (Batching() && !logPath.empty()) {
        BatchedLog& log = Book().Log(logPath);
        auto known = log.last.find(FoldedIniKey(section));
        if (known != log.last.end()) return known->second + 1;
        long next = CounterAfter(ReadLogString(logPath, section, "Last"));
        log.last[FoldedIniKey(section)] = next - 1;
        return next;
    }
    return CounterAfter(ReadLogString(logPath, section, "Last"));
}

// Writes "Last" = number and the entry under that number, and remembers it.
void PutEntry(const std::string& logPath, const char* section, long number, const std::string& entry)
{
    std::string key = std::to_string(number);
    SetValue(logPath, section, "Last", key);
    SetValue(logPath, section, key, entry);
    if (logPath.empty()) return;
    if (Batching()) Book().Log(logPath).last[FoldedIniKey(section)] = number;
    Book().Run(logPath, section).entries.push_back(LoggedEntry{number, entry});
}

// Appends "number,text" to the numbered list `section`.
void AppendEntry(const std::string& logPath, const char* section, int number,
                 const std::string& text)
{
    AppendLogEntry(logPath, section, Entry(number, text));
}

// The "DirList" text of the log, read whole: a product with many folders
// passes any fixed size, and a cut text written back would lose the
// entries past the cut.
DirList& DirListOf(const std::string& logPath, DirList& scratch)
{
    if (Batching() && !logPath.empty()) {
        BatchedLog& log = Book().Log(logPath);
        if (!log.dirListKnown) {
            log.dirList = DirList(ReadLogString(logPath, "DirList", "1"));
            log.dirListKnown = true;
        }
        return log.dirList;
    }
    scratch = DirList(ReadLogString(logPath, "DirList", "1"));
    return scratch;
}

// Adds `entry` (which names `directory`) to the text unless the text lists
// `directory` already; true when it was added.
bool AddToDirList(const std::string& logPath, const std::string& entry, const std::string& directory)
{
    DirList scratch{""};
    DirList& list = DirListOf(logPath, scratch);
    if (list.Lists(directory)) return false;
    list.Append(entry, directory);
    SetValue(logPath, "DirList", "1", list.Text());
    return true;
}

}  // namespace

std::string ReadLogString(const std::string& logPath, const char* section, const char* key)
{
    if (logPath.empty()) return {};
    if (Batching())
        if (BatchedLog* log = Book().Find(logPath)) FlushLog(*log);
    // The call says that a value was cut by filling the buffer to its
    // last character but one; read again with more room until it fits.
    std::vector<char> buffer(1040);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section, key, "", buffer.data(), (DWORD)buffer.size(),
                                           logPath.c_str());
        if (n + 1 < buffer.size() || buffer.size() >= (1u << 24)) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

void WriteLogString(const std::string& logPath, const char* section, const char* key,
                    const std::string& value)
{
    // No log yet (no component has been prepared): a profile call without
    // a file name would write into the Windows directory's own INI files.
    if (logPath.empty()) return;
    if (Batching())
        if (BatchedLog* log = Book().Find(logPath)) {
            FlushLog(*log);
            log->Forget();
        }
    // As everywhere in the log, a failed write shows nothing.
    WritePrivateProfileStringA(section, key, value.c_str(), logPath.c_str());
}

long LastEntryNumber(const std::string& logPath, const char* section)
{
    return std::strtol(ReadLogString(logPath, section, "Last").c_str(), nullptr, 10);
}

std::vector<std::string> ListEntries(const std::string& logPath, const char* section)
{
    std::vector<std::string> entries;
    long last = LastEntryNumber(logPath, section);
    for (long i = 1; i <= last; ++i) entries.push_back(ReadLogString(logPath, section, std::to_string(i).c_str()));
    return entries;
}

std::vector<std::string> ListTexts(const std::string& logPath, const char* section)
{
    std::vector<std::string> texts;
    for (const std::string& entry : ListEntries(logPath, section)) {
        size_t digits = entry.find_first_not_of("0123456789");
        if (digits == 0 || digits == std::string::npos || entry[digits] != ',') continue;
        texts.push_back(entry.substr(digits + 1));
    }
    return texts;
}

std::vector<std::string> ProfileSectionLines(const std::string& path, const std::string& section)
{
    if (Batching())
        if (BatchedLog* log = Book().Find(path)) FlushLog(*log);
    size_t room = 4096;
    return ReadSectionLines(path, section, room);
}

long NextEntryNumber(const std::string& logPath, const char* section)
{
    return NextNumber(logPath, section);
}

void AppendLogEntry(const std::string& logPath, const char* section, const std::string& entry)
{
    PutEntry(logPath, section, NextNumber(logPath, section), entry);
}

void AddFileRecord(int number, const std::string& path, const std::string& logPath)
{
    AppendEntry(logPath, "File", number, path);
}

void AddDirectoryRecord(int number, const std::string& path, const std::string& logPath)
{
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return;
    std::string directory = path.substr(0, slash);
    if (!AddToDirList(logPath, directory, directory)) return;
    AppendEntry(logPath, "Directory", number, directory);
}

bool CannotUseDirectory(const DirectoryCreation& creation, const std::string& directory)
{
    if (creation.result != -1) return false;
    // A missing parent cannot be helped. Any other failure (the directory
    // is there already, access denied, a write-protected drive) is fine
    // only when a file can be made in the directory.
    if (creation.error == ENOENT) return true;
    return IsDirectoryWritable(directory) == 1;
}

int CreateEmptyFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    CloseHandle(file);
    return 1;
}

unsigned ComponentNameId(int number)
{
    using namespace component;
    switch (number) {
    case kTechnicalNotes: return IDS_NAME_TECHNOTES;
    case kTrainer: return IDS_NAME_TRAINER;
    case kDiskCache: return IDS_NAME_DISK_CACHE;
    case kExtras: return IDS_NAME_COMPONENT_51;
    case kExtras61: return IDS_NAME_COMPONENT_61;
    default: return IDS_NAME_MEMORY_MANAGER;
    }
}

void StartLogAnew(const std::string& logPath)
{
    FlushInstallLog();
    if (BatchedLog* log = Book().Find(logPath)) log->Forget();
}

long NumberAfter(const std::string& last)
{
    return CounterAfter(last);
}

void AddComponentRecords(const std::string& logPath, long directoryNumber, int number,
                         const std::string& directory)
{
    std::string entry = Entry(number, directory);
    PutEntry(logPath, "Directory", directoryNumber, entry);
    // Components 11 and 21 in the same directory D give only ";11,D".
    AddToDirList(logPath, entry, directory);
    AppendEntry(logPath, "Program", number, fw::LoadResString(ComponentNameId(number)));
}

InstallLogBatch::InstallLogBatch()
{
    LogBook& book = Book();
    if (book.batches++ == 0)
        book.windowHook = SetWindowsHookExA(WH_CBT, FlushBeforeWindow, nullptr, GetCurrentThreadId());
}

InstallLogBatch::~InstallLogBatch()
{
    FlushInstallLog();
    LogBook& book = Book();
    if (--book.batches > 0) return;
    if (book.windowHook) UnhookWindowsHookEx(book.windowHook);
    book.windowHook = nullptr;
    // Records that the system refused to the end are lost to the file;
    // RunLogEntries still has them.
    book.logs.clear();
}

void FlushInstallLog()
{
    for (BatchedLog& log : Book().logs) FlushLog(log);
}

std::vector<LoggedEntry> RunLogEntries(const std::string& logPath, const char* section)
{
    for (const RunList& list : Book().run)
        if (lstrcmpiA(list.section.c_str(), section) == 0 && SamePath(list.path, logPath)) return list.entries;
    return {};
}

std::vector<std::string> RunLogPaths()
{
    std::vector<std::string> paths;
    for (const RunList& list : Book().run) {
        bool known = false;
        for (const std::string& path : paths) known = known || SamePath(path, list.path);
        if (!known) paths.push_back(list.path);
    }
    return paths;
}
