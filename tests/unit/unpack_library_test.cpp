// CUNPCK32.DLL through its three entry points, loaded by name from beside
// the test program the way the installer loads it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cunpack.h"
#include "fw/File.h"
#include "support/TestFiles.h"
#include "support/ScratchDir.h"
#include "unpack_zipwriter.h"

namespace {

using ziptest::Entry;

// The library, loaded once per test and freed afterwards.
class Library {
public:
    Library()
    {
        module_ = LoadLibraryA((ProgramDir() + "\\CUNPCK32.DLL").c_str());
        if (!module_) return;
        init = reinterpret_cast<CunpackInitProc>(GetProcAddress(module_, "_cunpack_init@28"));
        exec = reinterpret_cast<CunpackExecProc>(GetProcAddress(module_, "_cunpack_exec@8"));
        exit = reinterpret_cast<CunpackExitProc>(GetProcAddress(module_, "_cunpack_exit@0"));
    }
    ~Library()
    {
        if (module_) FreeLibrary(module_);
    }
    bool Ready() const { return module_ && init && exec && exit; }
    HMODULE Module() const { return module_; }

    CunpackInitProc init = nullptr;
    CunpackExecProc exec = nullptr;
    CunpackExitProc exit = nullptr;

private:
    HMODULE module_ = nullptr;
};

// Every file and directory below `root`, as relative paths ("dir\" for a
// directory).
std::set<std::string> Tree(const std::string& root, const std::string& prefix = "")
{
    std::set<std::string> out;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((root + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.insert(prefix + name + "\\");
            for (auto& child : Tree(root + "\\" + name, prefix + name + "\\")) out.insert(child);
        } else {
            out.insert(prefix + name);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return out;
}

// A sandbox: the archive lies in <root>\in, the library writes to
// <root>\dest; anything else appearing in <root> was written outside.
struct Sandbox {
    ScratchDir root{"unpack"};
    std::string archive = root / "in\\TEST.ZPK";
    std::string dest = root / "dest";

    Sandbox() { CreateDirectoryA((root / "in").c_str(), nullptr); }
    bool PutArchive(const std::string& bytes) { return WriteWholeFile(archive, bytes); }
    std::set<std::string> Outside() const
    {
        std::set<std::string> out;
        for (auto& p : Tree(root.Path()))
            if (p != "in\\" && p != "in\\TEST.ZPK" && p.rfind("dest\\", 0) != 0) out.insert(p);
        return out;
    }
};

struct RunResult {
    int init = -1;
    std::vector<int> results;                  // every exec result, the last one ends the run
    std::vector<std::string> reported;         // names given with result 2
    std::vector<DWORD> sizes;                  // aux values given with result 2
    int exit = -1;
};

// init, exec until 0, 1 or 4 (at most `limit` calls), exit.
RunResult Unpack(Library& lib, const std::string& archive, const std::string& dest, int base = 0, int share = 100,
              HWND window = nullptr, volatile LONG* cancel = nullptr, int limit = 10000)
{
    RunResult r;
    volatile LONG never = 0;
    r.init = lib.init(archive.c_str(), dest.c_str(), base, share, window, 1034, cancel ? cancel : &never);
    if (r.init != 1) {
        char name[CUNPACK_NAME_BUFFER];
        for (int i = 0; i < limit; ++i) {
            std::fill(name, name + sizeof name, '\x7f');
            name[0] = 0;
            DWORD aux = 0xDEADBEEF;
            int rc = lib.exec(name, &aux);
            r.results.push_back(rc);
            if (rc == 2) {
                r.reported.push_back(name);
                r.sizes.push_back(aux);
            }
            if (rc == 0 || rc == 1 || rc == 4) break;
        }
    }
    r.exit = lib.exit();
    return r;
}

// ---------------------------------------------------------------------------

TEST(UnpackLibrary, ExportsExactlyTheThreeEntryPoints)
{
    Library lib;
    ASSERT_TRUE(lib.Ready()) << "CUNPCK32.DLL beside the test program, with its three entry points";
    auto base = reinterpret_cast<const unsigned char*>(lib.Module());
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::set<std::string> found;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) found.insert(reinterpret_cast<const char*>(base + names[i]));
    EXPECT_EQ(found, (std::set<std::string>{"_cunpack_init@28", "_cunpack_exec@8", "_cunpack_exit@0"}));
    EXPECT_EQ(exports->NumberOfFunctions, 3u);
}

TEST(UnpackLibrary, UnpacksNestedFoldersEmptyFilesAndOverwrites)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    Sandbox box;
    std::string text = ziptest::Text(70000, 1);
    ASSERT_TRUE(box.PutArchive(ziptest::Build({
        {"READ.ME", "read me\r\n"},
        {"EMPTYDIR/", "", 0},
        {"SUB/", "", 0},
        {"SUB/DEEP/", "", 0},
        {"SUB/DEEP/NOTES.TXT", text},
        {"SUB/STORED.BIN", std::string("\0\1\2\3stored", 10), 0},
        {"SUB/EMPTY.DAT", "", 0},
        {"NEW/IMPLIED/FILE.TXT", "a folder without its own entry"},
        {"EMPTY2.DAT", "", 8},
        {"SUB\\BACKSL.TXT", "backslash separators"},
    })));
    // Existing files are overwritten, also a read-only one.
    CreateDirectoryA(box.dest.c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(box.dest + "\\READ.ME", "an older, longer read-me text"));
    SetFileAttributesA((box.dest + "\\READ.ME").c_str(), FILE_ATTRIBUTE_READONLY);

    RunResult r = Unpack(lib, box.archive, box.dest);
    EXPECT_EQ(r.init, 0);
    EXPECT_EQ(r.results, (std::vector<int>{2, 2, 2, 2, 2, 2, 2, 0}));
    EXPECT_EQ(r.exit, 0);
    std::vector<std::string> expectedNames = {"READ.ME",           "SUB\\DEEP\\NOTES.TXT",      "SUB\\STORED.BIN",
                                              "SUB\\EMPTY.DAT",    "NEW\\IMPLIED\\FILE.TXT", "EMPTY2.DAT",
                                              "SUB\\BACKSL.TXT"};
    ASSERT_EQ(r.reported.size(), expectedNames.size());
    for (size_t i = 0; i < expectedNames.size(); ++i)
        EXPECT_EQ(r.reported[i], box.dest + "\\" + expectedNames[i]) << "full path of file " << i;
    EXPECT_EQ(r.sizes, (std::vector<DWORD>{9, 70000, 10, 0, 30, 0, 20}));

    EXPECT_EQ(ReadWholeFile(box.dest + "\\READ.ME"), "read me\r\n");
    EXPECT_EQ(ReadWholeFile(box.dest + "\\SUB\\DEEP\\NOTES.TXT"), text);
    EXPECT_EQ(ReadWholeFile(box.dest + "\\SUB\\STORED.BIN"), std::string("\0\1\2\3stored", 10));
    bool ok = false;
    EXPECT_EQ(ReadWholeFile(box.dest + "\\SUB\\EMPTY.DAT", &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadWholeFile(box.dest + "\\NEW\\IMPLIED\\FILE.TXT"), "a folder without its own entry");
    EXPECT_EQ(Tree(box.dest), (std::set<std::string>{"READ.ME", "EMPTYDIR\\", "SUB\\", "SUB\\DEEP\\",
                                                     "SUB\\DEEP\\NOTES.TXT", "SUB\\STORED.BIN", "SUB\\EMPTY.DAT",
                                                     "NEW\\", "NEW\\IMPLIED\\", "NEW\\IMPLIED\\FILE.TXT",
                                                     "EMPTY2.DAT", "SUB\\BACKSL.TXT"}))
        << "no temporary files left behind";
    EXPECT_TRUE(box.Outside().empty());
}

TEST(UnpackLibrary, AfterTheEndOrWithoutInitExecReportsNoMoreFiles)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    char name[CUNPACK_NAME_BUFFER] = "untouched";
    DWORD aux = 0;
    EXPECT_EQ(lib.exec(name, &aux), 1) << "exec without init";
    EXPECT_EQ(lib.exit(), 0) << "exit with nothing open";

    Sandbox box;
    ASSERT_TRUE(box.PutArchive(ziptest::Build({{"ONE.TXT", "1"}})));
    ASSERT_EQ(lib.init(box.archive.c_str(), box.dest.c_str(), 0, 100, nullptr, 1034, nullptr), 0);
    EXPECT_EQ(lib.exec(name, &aux), 2);
    EXPECT_EQ(lib.exec(name, &aux), 0);
    EXPECT_EQ(std::string(name), box.dest + "\\ONE.TXT") << "the name buffer keeps the last file";
    EXPECT_EQ(lib.exec(name, &aux), 0);
    EXPECT_EQ(lib.exit(), 0);
}

TEST(UnpackLibrary, UnpacksALargeMember)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    Sandbox box;
    std::string big = ziptest::Text(24u << 20, 7);
    std::string stored = ziptest::Text(3u << 20, 8);
    ASSERT_TRUE(box.PutArchive(ziptest::Build({{"BIG.DAT", big}, {"RAW.DAT", stored, 0}})));
    RunResult r = Unpack(lib, box.archive, box.dest);
    EXPECT_EQ(r.init, 0);
    EXPECT_EQ(r.results, (std::vector<int>{2, 2, 0}));
    EXPECT_EQ(r.sizes, (std::vector<DWORD>{24u << 20, 3u << 20}));
    EXPECT_TRUE(ReadWholeFile(box.dest + "\\BIG.DAT") == big) << "large deflated member intact";
    EXPECT_TRUE(ReadWholeFile(box.dest + "\\RAW.DAT") == stored) << "large stored member intact";
}

// --- bad archives -------------------------------------------------------------

enum class FailsIn { Init, Exec };

struct BadArchive {
    const char* what;
    std::string bytes;
    FailsIn failsIn;
};

std::string Truncate(const std::string& s, size_t keep) { return s.substr(0, keep); }

std::string Unique()
{
    static int n = 0;
    return "cunpack_escape_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++n) + ".txt";
}

TEST(UnpackLibrary, BadArchivesEndInResultOneAndWriteNothingOutside)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    const std::string good = ziptest::Build({{"A.TXT", ziptest::Text(5000, 3)}, {"B.TXT", "bee"}});
    const std::string escape = Unique();
    std::string longName(240, 'N');
    for (size_t i = 8; i < longName.size(); i += 9) longName[i] = '/';

    // The central directory offset of `good` pointed past the end.
    std::string badOffset = good;
    badOffset[badOffset.size() - 3] = '\x7f';
    // Local header offset of the second member pointed into the first one.
    std::string badLocal = ziptest::Build({{"A.TXT", std::string(4000, 'a'), 0}, {"B.TXT", "bee", 0}});
    {
        size_t cd = badLocal.rfind(std::string("PK\1\2", 4));
        badLocal[cd + 42] = 100;  // inside A's data: no local header there
        badLocal[cd + 43] = 0;
    }

    const std::vector<BadArchive> cases = {
        {"empty file", "", FailsIn::Init},
        {"not a ZIP file", "This is a text file, not an archive.\r\n", FailsIn::Init},
        {"truncated in the middle", Truncate(good, good.size() / 2), FailsIn::Init},
        {"truncated end record", Truncate(good, good.size() - 5), FailsIn::Init},
        {"central directory past the end", badOffset, FailsIn::Init},
        {"unsupported method", ziptest::Build({{"A.TXT", "x", 12}}), FailsIn::Init},
        {"encrypted member", ziptest::Build({{"A.TXT", "x", 0, 0x0001}}), FailsIn::Init},
        {"name longer than the buffer", ziptest::Build({{longName, "x"}}), FailsIn::Init},
        {"absolute name", ziptest::Build({{"/" + escape, "x"}}), FailsIn::Init},
        {"absolute name with backslash", ziptest::Build({{"\\" + escape, "x"}}), FailsIn::Init},
        {"drive letter", ziptest::Build({{"C:" + escape, "x"}}), FailsIn::Init},
        {"drive letter and root", ziptest::Build({{"C:/" + escape, "x"}}), FailsIn::Init},
        {"climbs out with ..", ziptest::Build({{"../" + escape, "x"}}), FailsIn::Init},
        {"climbs out further down", ziptest::Build({{"A.TXT", "a"}, {"SUB/../../" + escape, "x"}}), FailsIn::Init},
        {"climbs out with backslashes", ziptest::Build({{"..\\" + escape, "x"}}), FailsIn::Init},
        {"dots and blanks", ziptest::Build({{".. /" + escape, "x"}}), FailsIn::Init},
        {"device name", ziptest::Build({{"SUB/NUL.TXT", "x"}}), FailsIn::Init},
        {"CRC mismatch", ziptest::Build({{"A.TXT", "first"}, {"B.TXT", ziptest::Text(3000, 4), 8, 0, 1}}),
         FailsIn::Exec},
        {"CRC mismatch, stored", ziptest::Build({{"B.TXT", "stored text", 0, 0, 1}}), FailsIn::Exec},
        {"damaged deflate data", ziptest::Build({{"B.TXT", ziptest::Text(20000, 5), 8, 0, 0, true}}),
         FailsIn::Exec},
        {"local header missing", badLocal, FailsIn::Exec},
    };

    for (const BadArchive& c : cases) {
        SCOPED_TRACE(c.what);
        Sandbox box;
        ASSERT_TRUE(box.PutArchive(c.bytes));
        // An existing file of the name that a broken member has keeps its
        // contents.
        CreateDirectoryA(box.dest.c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(box.dest + "\\B.TXT", "precious"));

        RunResult r = Unpack(lib, box.archive, box.dest);
        if (c.failsIn == FailsIn::Init) {
            EXPECT_EQ(r.init, 1);
            EXPECT_TRUE(r.results.empty());
        } else {
            EXPECT_EQ(r.init, 0);
            ASSERT_FALSE(r.results.empty());
            EXPECT_EQ(r.results.back(), 1);
            // Once failed, it stays failed.
            ASSERT_EQ(lib.init(box.archive.c_str(), box.dest.c_str(), 0, 100, nullptr, 1034, nullptr), 0);
            char name[CUNPACK_NAME_BUFFER];
            DWORD aux;
            int rc;
            while ((rc = lib.exec(name, &aux)) == 2) {
            }
            EXPECT_EQ(rc, 1);
            EXPECT_EQ(lib.exec(name, &aux), 1);
            lib.exit();
        }
        EXPECT_EQ(r.exit, 0);
        EXPECT_EQ(ReadWholeFile(box.dest + "\\B.TXT"), "precious");
        EXPECT_TRUE(box.Outside().empty()) << "written outside: " << *box.Outside().begin();
        std::set<std::string> inside = Tree(box.dest);
        inside.erase("B.TXT");
        inside.erase("A.TXT");  // a good member before the broken one
        EXPECT_TRUE(inside.empty()) << "left behind: " << *inside.begin();
    }

    // Where the escaping names would have landed.
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    for (std::string p : {std::string("C:\\") + escape, std::string("\\") + escape,
                          std::string(current) + "\\" + escape}) {
        EXPECT_EQ(GetFileAttributesA(p.c_str()), INVALID_FILE_ATTRIBUTES) << p;
        DeleteFileA(p.c_str());
    }
}

TEST(UnpackLibrary, AnArchiveThatCannotBeOpenedFailsInInit)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    Sandbox box;
    EXPECT_EQ(Unpack(lib, box.root / "in\\MISSING.ZPK", box.dest).init, 1);
    ASSERT_TRUE(box.PutArchive(ziptest::Build({{"A.TXT", "a"}})));
    EXPECT_EQ(Unpack(lib, box.archive, "").init, 1) << "no destination";
    EXPECT_TRUE(box.Outside().empty());
}

// --- progress and cancel ------------------------------------------------------

struct ProgressLog {
    std::vector<WPARAM> values;
    volatile LONG* cancel = nullptr;
    size_t cancelAfter = SIZE_MAX;  // set the flag when this many messages have arrived
    // The library's questions, and the answer to a file it would replace
    // (for CUNPACK_ANSWER_KEPT the window moves the old file to ".KEPT").
    std::vector<std::string> asked;
    LRESULT replacing = 0;
    const CunpackFileTimes* times = nullptr;  // the answer to CUNPACK_FILE_TIMES, when given
};

ProgressLog* g_progress = nullptr;

LRESULT CALLBACK ProgressWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == 1034 && g_progress) {
        g_progress->values.push_back(wParam);
        if (g_progress->values.size() == g_progress->cancelAfter && g_progress->cancel) *g_progress->cancel = 1;
        return 0;
    }
    if (msg == CUNPACK_FILE_TIMES && g_progress && g_progress->times) {
        *reinterpret_cast<CunpackFileTimes*>(lParam) = *g_progress->times;
        return CUNPACK_ANSWER_TIMES;
    }
    if ((msg == CUNPACK_REPLACING || msg == CUNPACK_MAKING_FOLDER) && g_progress) {
        std::string path = reinterpret_cast<const char*>(lParam);
        g_progress->asked.push_back((msg == CUNPACK_REPLACING ? "replacing " : "folder ") + path);
        if (msg == CUNPACK_MAKING_FOLDER) return 1;
        if (g_progress->replacing == CUNPACK_ANSWER_KEPT) MoveFileA(path.c_str(), (path + ".KEPT").c_str());
        return g_progress->replacing;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class ProgressWindow {
public:
    explicit ProgressWindow(ProgressLog& log)
    {
        g_progress = &log;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ProgressWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "UnpackTestProgress";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowA(wc.lpszClassName, "progress", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              wc.hInstance, nullptr);
    }
    ~ProgressWindow()
    {
        if (hwnd_) DestroyWindow(hwnd_);
        g_progress = nullptr;
    }
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

std::string MixedArchive()
{
    std::vector<Entry> entries;
    for (int i = 0; i < 12; ++i)
        entries.push_back({"SMALL" + std::to_string(i) + ".TXT", ziptest::Text(1000 + 700 * i, 20 + i)});
    entries.push_back({"DATA/LARGE.DAT", ziptest::Text(6u << 20, 40)});
    entries.push_back({"DATA/AFTER.TXT", ziptest::Text(5000, 41)});
    return ziptest::Build(entries);
}

TEST(UnpackLibrary, ProgressStaysWithinBaseAndShareAndNeverGoesBack)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    const std::string archive = MixedArchive();
    struct Case {
        int base, share;
    };
    for (Case c : {Case{30, 40}, Case{0, 100}, Case{97, 3}, Case{55, 0}}) {
        SCOPED_TRACE("base " + std::to_string(c.base) + " share " + std::to_string(c.share));
        Sandbox box;
        ASSERT_TRUE(box.PutArchive(archive));
        ProgressLog log;
        ProgressWindow window(log);
        ASSERT_NE(window.Handle(), nullptr);
        RunResult r = Unpack(lib, box.archive, box.dest, c.base, c.share, window.Handle());
        ASSERT_EQ(r.results.back(), 0);
        ASSERT_FALSE(log.values.empty());
        EXPECT_GE(log.values.size(), r.reported.size()) << "at least one report per file";
        for (size_t i = 0; i < log.values.size(); ++i) {
            EXPECT_GE(int(log.values[i]), c.base) << "message " << i;
            EXPECT_LE(int(log.values[i]), c.base + c.share) << "message " << i;
            if (i) {
                EXPECT_GE(log.values[i], log.values[i - 1]) << "message " << i << " went backwards";
            }
        }
        EXPECT_EQ(int(log.values.back()), c.base + c.share) << "ends at base + share";
        if (c.share >= 40) {
            // The large member alone is most of the bytes: its progress is
            // reported while it is written, not just after it.
            std::set<WPARAM> distinct(log.values.begin(), log.values.end());
            EXPECT_GE(distinct.size(), size_t(c.share / 8));
        }
    }
}

TEST(UnpackLibrary, StopsWhenTheCancelFlagBecomesOne)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    const std::string archive = MixedArchive();
    struct Case {
        const char* what;
        size_t cancelAfter;  // progress message that sets the flag; 0: set before the first exec
    };
    for (Case c : {Case{"before the first file", 0}, Case{"between small files", 4}, Case{"inside the large file", 20}}) {
        SCOPED_TRACE(c.what);
        Sandbox box;
        ASSERT_TRUE(box.PutArchive(archive));
        volatile LONG cancel = 0;
        ProgressLog log;
        log.cancel = &cancel;
        log.cancelAfter = c.cancelAfter ? c.cancelAfter : 1;  // message 1 is sent by init
        ProgressWindow window(log);
        RunResult r = Unpack(lib, box.archive, box.dest, 10, 50, window.Handle(), &cancel);
        EXPECT_EQ(r.init, 0);
        ASSERT_FALSE(r.results.empty());
        EXPECT_EQ(r.results.back(), 4);
        EXPECT_EQ(r.exit, 0);
        // Only the files reported as written exist, complete; nothing of the
        // file that was being written when the flag was seen.
        std::set<std::string> files;
        for (auto& p : Tree(box.dest))
            if (p.back() != '\\') files.insert(box.dest + "\\" + p);
        EXPECT_EQ(files, std::set<std::string>(r.reported.begin(), r.reported.end()));
        if (c.cancelAfter == 0) {
            EXPECT_TRUE(r.reported.empty());
        }
        if (c.cancelAfter == 20) {
            EXPECT_EQ(r.reported.size(), 12u) << "stopped inside DATA\\LARGE.DAT";
            EXPECT_EQ(GetFileAttributesA((box.dest + "\\DATA\\LARGE.DAT").c_str()), INVALID_FILE_ATTRIBUTES);
        }
        if (c.cancelAfter == 4) {
            EXPECT_LT(r.reported.size(), 12u);
        }
        EXPECT_TRUE(box.Outside().empty());
    }
}

TEST(UnpackLibrary, StoppingInsideAFileKeepsTheOlderFileOfThatName)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    Sandbox box;
    ASSERT_TRUE(box.PutArchive(ziptest::Build({{"LARGE.DAT", ziptest::Text(4u << 20, 9)}})));
    CreateDirectoryA(box.dest.c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(box.dest + "\\LARGE.DAT", "the installed copy"));
    volatile LONG cancel = 0;
    ProgressLog log;
    log.cancel = &cancel;
    log.cancelAfter = 3;
    ProgressWindow window(log);
    RunResult r = Unpack(lib, box.archive, box.dest, 0, 100, window.Handle(), &cancel);
    EXPECT_EQ(r.results, std::vector<int>{4});
    EXPECT_EQ(ReadWholeFile(box.dest + "\\LARGE.DAT"), "the installed copy");
    EXPECT_EQ(Tree(box.dest), std::set<std::string>{"LARGE.DAT"});
}

// Before it replaces a file or makes a folder the library asks the window:
// answered 0 it replaces as it always did; answered KEPT (the window moved
// the old file away) it writes in place; answered REFUSED it writes nothing.
TEST(UnpackLibrary, AsksBeforeItReplacesAFileOrMakesAFolder)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    struct Case { LRESULT answer; int last; const char* old; const char* kept; } cases[] = {
        {0, 0, "new", nullptr}, {CUNPACK_ANSWER_KEPT, 0, "new", "old"}, {CUNPACK_ANSWER_REFUSED, 1, "old", nullptr},
    };
    for (const Case& c : cases) {
        Sandbox box;
        ASSERT_TRUE(box.PutArchive(ziptest::Build({{"SUB/A.TXT", "a"}, {"OLD.TXT", "new"}})));
        CreateDirectoryA(box.dest.c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(box.dest + "\\OLD.TXT", "old"));
        ProgressLog log;
        log.replacing = c.answer;
        ProgressWindow window(log);
        RunResult r = Unpack(lib, box.archive, box.dest, 0, 100, window.Handle());
        EXPECT_EQ(r.results.back(), c.last) << c.answer;
        EXPECT_EQ(log.asked, (std::vector<std::string>{"folder " + box.dest + "\\SUB", "replacing " + box.dest + "\\OLD.TXT"}));
        EXPECT_EQ(ReadWholeFile(box.dest + "\\OLD.TXT"), c.old) << c.answer;
        EXPECT_EQ(PathExists(box.dest + "\\OLD.TXT.KEPT"), c.kept != nullptr) << c.answer;
        if (c.kept) {
            EXPECT_EQ(ReadWholeFile(box.dest + "\\OLD.TXT.KEPT"), c.kept);
        }
    }
}

// A window that gives the times at init has them on every file, new or
// replacing an older one; otherwise a file has its member's time.
TEST(UnpackLibrary, TimesGivenAtInitLandOnEveryFile)
{
    Library lib;
    ASSERT_TRUE(lib.Ready());
    const CunpackFileTimes given{{0x11111111u, 0x01C00000u}, {0x22222222u, 0x01C00000u}, {0x33333333u, 0x01C00000u}};
    for (bool giving : {false, true}) {
        Sandbox box;
        ASSERT_TRUE(box.PutArchive(ziptest::Build({{"SUB/A.TXT", "a"}, {"OLD.TXT", "new"}})));
        CreateDirectoryA(box.dest.c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(box.dest + "\\OLD.TXT", "old"));
        ProgressLog log;
        log.times = giving ? &given : nullptr;
        ProgressWindow window(log);
        RunResult r = Unpack(lib, box.archive, box.dest, 0, 100, window.Handle());
        EXPECT_EQ(r.results.back(), 0);
        for (const char* name : {"\\SUB\\A.TXT", "\\OLD.TXT"}) {
            fw::FileTimes t;
            ASSERT_TRUE(fw::ReadFileTimes(box.dest + name, t));
            FILETIME local;
            FileTimeToLocalFileTime(&t.written, &local);
            WORD date = 0, time = 0;
            FileTimeToDosDateTime(&local, &date, &time);
            if (giving) {
                // Wine keeps no creation time of its own: the last write tells.
                EXPECT_EQ(CompareFileTime(&t.written, &given.written), 0) << name;
            } else {
                EXPECT_EQ(date, ((1997 - 1980) << 9) | (6 << 5) | 2) << name;  // the member's 2 June 1997
            }
        }
    }
}

}  // namespace
