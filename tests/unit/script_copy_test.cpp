// CopyFileWithTimes on real files of the prefix: contents, the three file
// times, the install-log record, and every failure with its message
// answered as a person would answer it.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "fw/File.h"
#include "state/InstallState.h"
#include "script/ScriptEngine.h"
#include "support/EngineHarness.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"

namespace {

FILETIME TimeOf(int year, int month, int day, int hour)
{
    SYSTEMTIME st{};
    st.wYear = (WORD)year;
    st.wMonth = (WORD)month;
    st.wDay = (WORD)day;
    st.wHour = (WORD)hour;
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

struct Times {
    FILETIME created{}, accessed{}, written{};
};

bool ReadTimes(const std::string& path, Times& t)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    bool ok = GetFileTime(f, &t.created, &t.accessed, &t.written);
    CloseHandle(f);
    return ok;
}

bool SetTimes(const std::string& path, const Times& t)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    bool ok = SetFileTime(f, &t.created, &t.accessed, &t.written);
    CloseHandle(f);
    return ok;
}

unsigned long long Ticks(const FILETIME& ft)
{
    return ((unsigned long long)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

std::string Pattern(size_t size, int seed)
{
    std::string s(size, '\0');
    unsigned x = (unsigned)seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        s[i] = (char)(x >> 16);
    }
    return s;
}

std::string Profile(const std::string& log, const char* section, const char* key)
{
    char b[1024] = {};
    GetPrivateProfileStringA(section, key, "", b, sizeof b, log.c_str());
    return b;
}

// A run's engine over a scratch directory: the log lives there too.
struct CopyFixture : testing::Test {
    ScratchDir scratch{"copy"};
    InstallState state;
    EngineHarness engine{state};
    std::string log;

    void SetUp() override
    {
        log = scratch / "INSTALL.LOG";
        state.installLogPath = log;
    }
};

using ScriptCopy = CopyFixture;

TEST_F(ScriptCopy, CopiesContentsAndTheThreeTimes)
{
    const Times source{TimeOf(2001, 2, 3, 4), TimeOf(2002, 3, 4, 5), TimeOf(2003, 4, 5, 6)};
    for (size_t size : {size_t(1), size_t(102400), size_t(3 * 1024 * 1024 + 7)}) {
        SCOPED_TRACE(size);
        const std::string from = scratch / "SRC.BIN", to = scratch / "DST.BIN";
        const std::string contents = Pattern(size, (int)size);
        ASSERT_TRUE(WriteWholeFile(from, contents));
        ASSERT_TRUE(SetTimes(from, source));

        // What the file system keeps of them: Wine on Linux cannot keep a
        // creation time of its own and reports the last-write time.
        Times kept;
        ASSERT_TRUE(ReadTimes(from, kept));

        MessageBoxAnswerer answerer;
        EXPECT_EQ(engine.CopyFileWithTimes(from, to, 5, 0, 1), ScriptEngine::kCopied);
        EXPECT_EQ(answerer.Count(), 0u);
        // The times first: reading the copy would move its access time.
        Times copy;
        ASSERT_TRUE(ReadTimes(to, copy));
        EXPECT_EQ(Ticks(copy.written), Ticks(source.written));
        EXPECT_EQ(Ticks(copy.accessed), Ticks(source.accessed));
        EXPECT_EQ(Ticks(copy.created), Ticks(kept.created));
        EXPECT_TRUE(ReadWholeFile(to) == contents);
    }
}

TEST_F(ScriptCopy, WithoutKeepTimesTheCopyHasTheTimeOfTheCopy)
{
    const std::string from = scratch / "SRC.BIN", to = scratch / "DST.BIN";
    ASSERT_TRUE(WriteWholeFile(from, "abc"));
    ASSERT_TRUE(SetTimes(from, {TimeOf(2001, 1, 1, 0), TimeOf(2001, 1, 1, 0), TimeOf(2001, 1, 1, 0)}));
    FILETIME before;
    GetSystemTimeAsFileTime(&before);
    EXPECT_EQ(engine.CopyFileWithTimes(from, to, 5, 0, 0), ScriptEngine::kCopied);
    Times copy;
    ASSERT_TRUE(ReadTimes(to, copy));
    // File systems keep times with a coarser grain than the clock.
    EXPECT_GE(Ticks(copy.written) + 20000000ull, Ticks(before));
    EXPECT_EQ(ReadWholeFile(to), "abc");
}

TEST_F(ScriptCopy, OverwritesAndTruncatesAnExistingDestination)
{
    const std::string from = scratch / "SRC.BIN", to = scratch / "DST.BIN";
    ASSERT_TRUE(WriteWholeFile(to, Pattern(50000, 1)));
    ASSERT_TRUE(WriteWholeFile(from, Pattern(1000, 2)));
    EXPECT_EQ(engine.CopyFileWithTimes(from, to, 5, 0, 1), ScriptEngine::kCopied);
    EXPECT_TRUE(ReadWholeFile(to) == Pattern(1000, 2));
}

TEST_F(ScriptCopy, AnEmptySourceGivesAnEmptyCopy)
{
    const std::string from = scratch / "EMPTY.TXT", to = scratch / "COPY.TXT";
    ASSERT_TRUE(WriteWholeFile(from, ""));
    ASSERT_TRUE(WriteWholeFile(to, "old contents"));
    MessageBoxAnswerer answerer;
    EXPECT_EQ(engine.CopyFileWithTimes(from, to, 3, 0, 1), ScriptEngine::kCopied);
    EXPECT_EQ(answerer.Count(), 0u);
    bool exists = false;
    EXPECT_EQ(ReadWholeFile(to, &exists), "");
    EXPECT_TRUE(exists);
    EXPECT_EQ(Profile(log, "File", "1"), "3," + to);
}

TEST_F(ScriptCopy, RecordsEveryCopyInTheLog)
{
    const std::string from = scratch / "SRC.BIN";
    ASSERT_TRUE(WriteWholeFile(from, "x"));
    EXPECT_EQ(engine.CopyFileWithTimes(from, scratch / "A.BIN", 0, 0, 1), 0);
    EXPECT_EQ(engine.CopyFileWithTimes(from, scratch / "B.BIN", 5, 0, 0), 0);
    EXPECT_EQ(Profile(log, "File", "Last"), "2");
    EXPECT_EQ(Profile(log, "File", "1"), "0," + scratch / "A.BIN");
    EXPECT_EQ(Profile(log, "File", "2"), "5," + scratch / "B.BIN");
}

TEST_F(ScriptCopy, ACopyOntoItselfKeepsTheFile)
{
    const std::string file = scratch / "SAME.BIN";
    const std::string contents = Pattern(4096, 9);
    ASSERT_TRUE(WriteWholeFile(file, contents));
    // The same file under another spelling of its name.
    std::string other = file;
    CharLowerBuffA(other.data(), (DWORD)other.size());
    MessageBoxAnswerer answerer;
    EXPECT_EQ(engine.CopyFileWithTimes(file, other, 5, 0, 1), ScriptEngine::kCopied);
    EXPECT_EQ(answerer.Count(), 0u);
    EXPECT_EQ(ReadWholeFile(file).size(), contents.size());
    EXPECT_TRUE(ReadWholeFile(file) == contents);
    // Nothing was written, so nothing is on record.
    EXPECT_EQ(Profile(log, "File", "Last"), "");
}

// ---- failures ----------------------------------------------------------------

enum class Fault { MissingSource, MissingDirectory, UnwritableDirectory, LockedSource, LockedDestination };

struct FailureCase {
    const char* name;
    Fault fault;
    const char* messageStart;  // the message up to its path
    bool pathIsSource;
    bool recorded;  // the copy is in the log
};

class ScriptCopyFailure : public CopyFixture, public testing::WithParamInterface<FailureCase> {
protected:
    std::string from, to;
    HANDLE held = INVALID_HANDLE_VALUE;

    // Sets up the fault; false (and a skip) when this prefix cannot have it.
    bool Arrange()
    {
        from = scratch / "SRC.BIN";
        to = scratch / "DST.BIN";
        EXPECT_TRUE(WriteWholeFile(from, Pattern(1000, 3)));
        switch (GetParam().fault) {
        case Fault::MissingSource:
            from = scratch / "NOSUCH.BIN";
            break;
        case Fault::MissingDirectory:
            to = scratch / "NODIR\\DST.BIN";
            break;
        case Fault::UnwritableDirectory:
            if (UnwritableDirectory().empty()) return false;
            to = UnwritableDirectory() + "\\DST.BIN";
            break;
        case Fault::LockedSource:
            held = CreateFileA(from.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            EXPECT_NE(held, INVALID_HANDLE_VALUE);
            break;
        case Fault::LockedDestination:
            EXPECT_TRUE(WriteWholeFile(to, "kept"));
            held = CreateFileA(to.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            EXPECT_NE(held, INVALID_HANDLE_VALUE);
            break;
        }
        return true;
    }
    void TearDown() override
    {
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    }
    std::string ShownPath() const { return GetParam().pathIsSource ? from : to; }
};

TEST_P(ScriptCopyFailure, OkGoesOn)
{
    if (!Arrange()) GTEST_SKIP() << "this prefix has no unwritable directory";
    MessageBoxAnswerer answerer({IDOK});
    EXPECT_EQ(engine.CopyFileWithTimes(from, to, 5, 0, 1), ScriptEngine::kCopyFailed);
    ASSERT_EQ(answerer.Count(), 1u);
    auto box = answerer.Boxes()[0];
    EXPECT_EQ(box.caption, "Corvane Velomire Installation");
    EXPECT_EQ(box.text.rfind(std::string(GetParam().messageStart) + ShownPath() + ".\r\n", 0), 0u)
        << box.text;
    EXPECT_NE(box.text.find("Press OK to continue, Cancel to exit."), std::string::npos);
    EXPECT_FALSE(box.forced);
    EXPECT_EQ(engine.face.cancelRequested, 0);
    EXPECT_EQ(Profile(log, "File", "Last"), GetParam().recorded ? "1" : "");
}

TEST_P(ScriptCopyFailure, CancelStops)
{
    if (!Arrange()) GTEST_SKIP() << "this prefix has no unwritable directory";
    MessageBoxAnswerer answerer({IDCANCEL});
    EXPECT_EQ(engine.CopyFileWithTimes(from, to, 5, 0, 1), ScriptEngine::kCopyStopped);
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].pressed, IDCANCEL);
    EXPECT_FALSE(answerer.Boxes()[0].forced);
    EXPECT_EQ(engine.face.cancelRequested, 1);
}

TEST_P(ScriptCopyFailure, SilentOrNotAskingNeverShowsABox)
{
    if (!Arrange()) GTEST_SKIP() << "this prefix has no unwritable directory";
    MessageBoxAnswerer answerer({IDCANCEL});
    EXPECT_EQ(engine.CopyFileWithTimes(from, to, 5, 1, 1), ScriptEngine::kCopyFailed);
    engine.Values().askOnError = 0;
    EXPECT_EQ(engine.CopyFileWithTimes(from, to, 5, 0, 1), ScriptEngine::kCopyFailed);
    EXPECT_EQ(answerer.Count(), 0u);
    EXPECT_EQ(engine.face.cancelRequested, 0);
}

const char kOpenError[] = "Error Opening File ";
const char kWriteError[] = "Error Writing to File ";

INSTANTIATE_TEST_SUITE_P(
    ScriptCopyFaults, ScriptCopyFailure,
    testing::Values(FailureCase{"MissingSource", Fault::MissingSource, kOpenError, true, false},
                    FailureCase{"MissingDirectory", Fault::MissingDirectory, kWriteError, false, false},
                    FailureCase{"UnwritableDirectory", Fault::UnwritableDirectory, kWriteError,
                                false, false},
                    FailureCase{"LockedSource", Fault::LockedSource, kOpenError, true, false},
                    FailureCase{"LockedDestination", Fault::LockedDestination, kWriteError, false,
                                false}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(ScriptCopy, AFailedDestinationLeavesTheSourceAndThePlaceAsTheyWere)
{
    const std::string from = scratch / "SRC.BIN", to = scratch / "DST.BIN";
    ASSERT_TRUE(WriteWholeFile(from, "source"));
    ASSERT_TRUE(WriteWholeFile(to, "kept"));
    HANDLE held = CreateFileA(to.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    MessageBoxAnswerer answerer({IDOK});
    EXPECT_EQ(engine.CopyFileWithTimes(from, to, 5, 0, 1), ScriptEngine::kCopyFailed);
    CloseHandle(held);
    EXPECT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(ReadWholeFile(from), "source");
    EXPECT_EQ(ReadWholeFile(to), "kept");
    EXPECT_EQ(Profile(log, "File", "Last"), "");
}

TEST_F(ScriptCopy, ASourceWhoseLengthCannotBeReadIsAReadError)
{
    // A pipe opens like a file but has no length.
    const std::string from = "\\\\.\\pipe\\cvunit-copy-" + std::to_string(GetCurrentProcessId());
    const std::string to = scratch / "DST.BIN";
    // One instance for the look at the source's times, one for the copy.
    HANDLE servers[2];
    for (HANDLE& server : servers) {
        server = CreateNamedPipeA(from.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT,
                                  2, 4096, 4096, 0, nullptr);
        ASSERT_NE(server, INVALID_HANDLE_VALUE);
    }
    MessageBoxAnswerer answerer({IDOK});
    int result = engine.CopyFileWithTimes(from, to, 5, 0, 1);
    for (HANDLE server : servers) CloseHandle(server);
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(result, ScriptEngine::kCopyFailed);
    EXPECT_EQ(answerer.Boxes()[0].text,
              "Error Reading File " + from + ".\r\nPlease press OK to continue, Cancel to exit.");
    // The copy was recorded before its first byte.
    EXPECT_EQ(Profile(log, "File", "1"), "5," + to);
}

}  // namespace

// A copy is whole only once its file is closed: a failed close must be
// seen (the copy turns it into its write error).
TEST(FileObject, AFailedCloseIsReported)
{
    ScratchDir dir("close");
    fw::File file;
    ASSERT_TRUE(file.Open(dir / "X.DAT", fw::File::modeWrite | fw::File::modeCreate));
    CloseHandle(file.Handle());  // the handle goes away under the object
    EXPECT_FALSE(file.Close());
    EXPECT_TRUE(file.Close());   // nothing left to close
}
