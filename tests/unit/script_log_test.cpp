// INSTALL.LOG: the preparation of the component directories and the log,
// the file and directory records, on real files through the profile calls.

#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <string>
#include <vector>

#include "app/InstallState.h"
#include "fsutil/FsUtil.h"
#include "script/InstallLog.h"
#include "script/ScriptEngine.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"

namespace {

using Lines = std::vector<std::string>;

// Every "key=value" of a section, in file order.
Lines Section(const std::string& log, const char* section)
{
    std::vector<char> buffer(1 << 20);
    DWORD n = GetPrivateProfileSectionA(section, buffer.data(), (DWORD)buffer.size(), log.c_str());
    Lines lines;
    for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += lstrlenA(p) + 1)
        lines.push_back(p);
    return lines;
}

std::string Value(const std::string& log, const char* section, const char* key)
{
    return ReadLogString(log, section, key);
}

// An install run's state and engine over a scratch directory that plays
// the part of drive C: base\RAMHOLD stands for C:\RAMHOLD. The source
// directory (the media) starts empty: no seed log.
struct LogFixture : testing::Test {
    ScratchDir scratch{"log"};
    std::string base = scratch.Path();
    std::string media = scratch / "MEDIA";
    InstallState state;

    void SetUp() override
    {
        CreateDirectoryA(media.c_str(), nullptr);
        state.sourceDir = media;
        for (int n : {11, 21, 31, 41, 51, 61}) state.componentSelected[n] = 0;
    }

    // Selects the components and runs the log preparation of a run.
    int Prepare(ScriptEngine& engine, std::vector<int> components)
    {
        for (int n : components) state.componentSelected[n] = 1;
        engine.TakeRunCopies();
        return engine.PrepareInstallLogs();
    }
};

using ScriptLog = LogFixture;

TEST_F(ScriptLog, WorkedExampleComesOutKeyForKey)
{
    const std::string ramhold = base + "\\RAMHOLD";
    state.targetDir1 = ramhold;
    state.targetDir4 = ramhold;
    for (std::string* t : {&state.targetDir2, &state.targetDir3, &state.targetDir5, &state.targetDir6})
        *t = base + "\\UNUSED";

    MessageBoxAnswerer answerer;
    ScriptEngine engine(state);
    ASSERT_EQ(Prepare(engine, {11, 41}), 1);
    const std::string log = ramhold + "\\INSTALL.LOG";
    EXPECT_EQ(state.installLogPath, log);

    // One file unpacked by a line with number 41 into RAMHOLD\DISKSPUR.
    const std::string file = ramhold + "\\DISKSPUR\\DISKSPUR.EXE";
    AddDirectoryRecord(41, file, log);
    AddFileRecord(41, file, log);

    EXPECT_EQ(Section(log, "Directory"),
              (Lines{"Last=3", "1=11," + ramhold, "2=41," + ramhold, "3=41," + ramhold + "\\DISKSPUR"}));
    EXPECT_EQ(Section(log, "DirList"), (Lines{"1=;11," + ramhold + ";" + ramhold + "\\DISKSPUR"}));
    EXPECT_EQ(Section(log, "Program"),
              (Lines{"Last=2", "1=11,Ramhold Memory Manager", "2=41,Diskspur"}));
    EXPECT_EQ(Section(log, "File"), (Lines{"Last=1", "1=41," + file}));
    EXPECT_FALSE(PathExists(base + "\\UNUSED"));
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST_F(ScriptLog, TwoComponentsInOneDirectory)
{
    const std::string d = base + "\\D";
    state.targetDir1 = state.targetDir2 = d;
    ScriptEngine engine(state);
    ASSERT_EQ(Prepare(engine, {11, 21}), 1);
    const std::string log = d + "\\INSTALL.LOG";
    EXPECT_EQ(Section(log, "Directory"), (Lines{"Last=2", "1=11," + d, "2=21," + d}));
    EXPECT_EQ(Section(log, "DirList"), (Lines{"1=;11," + d}));
    EXPECT_EQ(Section(log, "Program"), (Lines{"Last=2", "1=11,Ramhold Memory Manager", "2=21,Technotes"}));
}

TEST_F(ScriptLog, EveryComponentGetsItsDirectoryAndName)
{
    struct Case {
        int number;
        std::string* dir;
        const char* name;
    };
    const Case cases[] = {
        {11, &state.targetDir1, "Ramhold Memory Manager"}, {21, &state.targetDir2, "Technotes"},
        {31, &state.targetDir3, "Tricorn"},                {41, &state.targetDir4, "Diskspur"},
        {51, &state.targetDir5, ""},                       {61, &state.targetDir6, ""},
    };
    int i = 0;
    for (const Case& c : cases) *c.dir = base + "\\P" + std::to_string(++i);
    ScriptEngine engine(state);
    ASSERT_EQ(Prepare(engine, {11, 21, 31, 41, 51, 61}), 1);
    const std::string log = base + "\\P1\\INSTALL.LOG";
    EXPECT_EQ(Value(log, "Program", "Last"), "6");
    EXPECT_EQ(Value(log, "Directory", "Last"), "6");
    i = 0;
    for (const Case& c : cases) {
        std::string key = std::to_string(++i);
        EXPECT_EQ(Value(log, "Program", key.c_str()), std::to_string(c.number) + "," + c.name);
        EXPECT_EQ(Value(log, "Directory", key.c_str()), std::to_string(c.number) + "," + *c.dir);
        EXPECT_TRUE(PathExists(*c.dir));
    }
}

TEST_F(ScriptLog, WithoutComponent11TheLogStartsInTheFirstSelectedDirectory)
{
    state.targetDir1 = base + "\\T1";
    state.targetDir2 = base + "\\T2";
    ScriptEngine engine(state);
    ASSERT_EQ(Prepare(engine, {21}), 1);
    EXPECT_EQ(state.installLogPath, base + "\\T2\\INSTALL.LOG");
    EXPECT_EQ(Section(state.installLogPath, "Directory"), (Lines{"Last=1", "1=21," + base + "\\T2"}));
    EXPECT_FALSE(PathExists(base + "\\T1"));
}

TEST_F(ScriptLog, AKnownLogIsContinuedWhenComponent11IsNotSelected)
{
    const std::string earlier = base + "\\EARLIER";
    CreateDirectoryA(earlier.c_str(), nullptr);
    const std::string log = earlier + "\\INSTALL.LOG";
    ASSERT_TRUE(WriteWholeFile(log, "[Directory]\r\nLast=1\r\n1=11," + earlier +
                                        "\r\n[DirList]\r\n1=;11," + earlier +
                                        "\r\n[File]\r\nLast=1\r\n1=11,X\r\n"));
    state.installLogPath = log;
    state.targetDir3 = base + "\\TRICORN";
    ScriptEngine engine(state);
    ASSERT_EQ(Prepare(engine, {31}), 1);
    EXPECT_EQ(state.installLogPath, log);
    EXPECT_EQ(Section(log, "Directory"),
              (Lines{"Last=2", "1=11," + earlier, "2=31," + base + "\\TRICORN"}));
    EXPECT_EQ(Value(log, "DirList", "1"), ";11," + earlier + ";31," + base + "\\TRICORN");
    EXPECT_EQ(Section(log, "File"), (Lines{"Last=1", "1=11,X"}));
}

TEST_F(ScriptLog, ASecondRunWithComponent11StartsAFreshLog)
{
    state.targetDir1 = base + "\\RAMHOLD";
    {
        ScriptEngine first(state);
        ASSERT_EQ(Prepare(first, {11}), 1);
        AddFileRecord(11, base + "\\RAMHOLD\\A.EXE", state.installLogPath);
    }
    ASSERT_EQ(Value(state.installLogPath, "File", "Last"), "1");

    ScriptEngine second(state);
    ASSERT_EQ(Prepare(second, {11}), 1);
    const std::string log = base + "\\RAMHOLD\\INSTALL.LOG";
    EXPECT_EQ(Section(log, "File"), Lines{});
    EXPECT_EQ(Section(log, "Directory"), (Lines{"Last=1", "1=11," + base + "\\RAMHOLD"}));
    EXPECT_EQ(Section(log, "Program"), (Lines{"Last=1", "1=11,Ramhold Memory Manager"}));
}

TEST_F(ScriptLog, TheSeedFromTheMediaStartsTheLog)
{
    ASSERT_TRUE(WriteWholeFile(media + "\\INSTALL.LOG", "[IniKey]\r\nLast=1\r\n1=0,SYSTEM.INI,386Enh,X\r\n"));
    state.targetDir1 = base + "\\RAMHOLD";
    MessageBoxAnswerer answerer;
    ScriptEngine engine(state);
    ASSERT_EQ(Prepare(engine, {11}), 1);
    const std::string log = base + "\\RAMHOLD\\INSTALL.LOG";
    EXPECT_EQ(Section(log, "IniKey"), (Lines{"Last=1", "1=0,SYSTEM.INI,386Enh,X"}));
    EXPECT_EQ(Section(log, "Directory"), (Lines{"Last=1", "1=11," + base + "\\RAMHOLD"}));
    // The seed copy is recorded once the copy is in place.
    EXPECT_EQ(Section(log, "File"), (Lines{"Last=1", "1=1," + log}));
    EXPECT_EQ(engine.askOnError, 1);
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST_F(ScriptLog, ASeedThatCannotBeReadGivesAnEmptyLogWithoutABox)
{
    const std::string seed = media + "\\INSTALL.LOG";
    ASSERT_TRUE(WriteWholeFile(seed, "[IniKey]\r\nLast=1\r\n1=0,X\r\n"));
    HANDLE held = CreateFileA(seed.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    state.targetDir1 = base + "\\RAMHOLD";
    ASSERT_TRUE(CreateDirectoryA(state.targetDir1.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(state.targetDir1 + "\\INSTALL.LOG", "[File]\r\nLast=9\r\n"));

    MessageBoxAnswerer answerer;
    ScriptEngine engine(state);
    int result = Prepare(engine, {11});
    CloseHandle(held);
    ASSERT_EQ(result, 1);
    const std::string log = base + "\\RAMHOLD\\INSTALL.LOG";
    EXPECT_EQ(Section(log, "IniKey"), Lines{});
    EXPECT_EQ(Section(log, "File"), Lines{});  // the old log is replaced
    EXPECT_EQ(Section(log, "Directory"), (Lines{"Last=1", "1=11," + base + "\\RAMHOLD"}));
    EXPECT_EQ(engine.askOnError, 1);
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST_F(ScriptLog, ADirectoryThatCannotBeMadeIsReportedAndStopsThePreparation)
{
    std::string noDisk = UnusedDriveLetter();
    ASSERT_FALSE(noDisk.empty());
    std::vector<std::string> bad = {noDisk + "\\RAMHOLD", base + "\\FILE\\SUB"};
    ASSERT_TRUE(WriteWholeFile(base + "\\FILE", "a file where a directory should be"));
    if (!UnwritableDirectory().empty()) bad.push_back(UnwritableDirectory() + "\\RAMHOLD");

    for (const std::string& dir : bad) {
        SCOPED_TRACE(dir);
        InstallState s = state;
        s.targetDir1 = base + "\\GOOD";
        s.targetDir2 = dir;
        s.targetDir3 = base + "\\NEVER";
        for (int n : {11, 21, 31}) s.componentSelected[n] = 1;
        MessageBoxAnswerer answerer({IDOK});
        ScriptEngine engine(s);
        engine.TakeRunCopies();
        EXPECT_EQ(engine.PrepareInstallLogs(), -1);
        ASSERT_EQ(answerer.Count(), 1u);
        EXPECT_EQ(answerer.Boxes()[0].text,
                  "Unable to create directory " + dir +
                      ".\r\nPlease enter a valid directory path and make sure the disk is writable.");
        EXPECT_EQ(answerer.Boxes()[0].caption, "Corvane Velomire Installation");
        EXPECT_FALSE(PathExists(base + "\\NEVER"));
    }
}

TEST_F(ScriptLog, AnExistingDirectoryIsNoFailure)
{
    state.targetDir1 = base + "\\THERE";
    ASSERT_TRUE(CreateDirectoryA(state.targetDir1.c_str(), nullptr));
    MessageBoxAnswerer answerer;
    ScriptEngine engine(state);
    EXPECT_EQ(Prepare(engine, {11}), 1);
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST_F(ScriptLog, UnselectedComponentsAreLeftAlone)
{
    ScriptEngine engine(state);
    engine.TakeRunCopies();
    EXPECT_EQ(engine.PrepareInstallLog(0, 11, base + "\\A", true), 1);
    EXPECT_EQ(engine.PrepareInstallLog(2, 21, base + "\\B", false), 1);  // only 1 selects
    EXPECT_FALSE(PathExists(base + "\\A"));
    EXPECT_FALSE(PathExists(base + "\\B"));
    EXPECT_EQ(state.installLogPath, "");
}

// ---- records ------------------------------------------------------------------

TEST_F(ScriptLog, DirectoryRecordsUseASubstringTest)
{
    const std::string log = base + "\\INSTALL.LOG";
    const std::string ramhold = base + "\\RAMHOLD";
    WriteLogString(log, "DirList", "1", ";11," + ramhold);
    WriteLogString(log, "Directory", "Last", "1");
    WriteLogString(log, "Directory", "1", "11," + ramhold);

    struct Case {
        const char* file;
        bool recorded;
    };
    const Case cases[] = {
        {"\\RAMHOLD\\X.EXE", false},          // listed already
        {"\\RAMHOLD\\DISKSPUR\\X.EXE", true},
        {"\\RAMHOLD\\DISKSPUR\\Y.EXE", false},  // just listed
        {"\\RAM\\X.EXE", false},              // inside the text of RAMHOLD
        {"\\RAMHOLD\\DISK\\X.EXE", false},     // inside the text of DISKSPUR
        {"\\TRICORN\\X.EXE", true},
    };
    std::string list = ";11," + ramhold;
    int last = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string path = base + c.file;
        AddDirectoryRecord(31, path, log);
        std::string dir = path.substr(0, path.rfind('\\'));
        if (c.recorded) {
            list += ";" + dir;
            ++last;
            EXPECT_EQ(Value(log, "Directory", std::to_string(last).c_str()), "31," + dir);
        }
        EXPECT_EQ(Value(log, "DirList", "1"), list);
        EXPECT_EQ(Value(log, "Directory", "Last"), std::to_string(last));
    }
    // A name without a directory is not recorded.
    AddDirectoryRecord(31, "NODIR.EXE", log);
    EXPECT_EQ(Value(log, "DirList", "1"), list);
}

TEST_F(ScriptLog, CountersKeepCountingPast99999)
{
    const std::string log = base + "\\INSTALL.LOG";
    WriteLogString(log, "File", "Last", "99999");
    WriteLogString(log, "File", "10000", "0,EARLIER");
    WriteLogString(log, "File", "10001", "0,EARLIER TOO");
    AddFileRecord(5, "C:\\A", log);
    AddFileRecord(5, "C:\\B", log);
    AddFileRecord(5, "C:\\C", log);
    EXPECT_EQ(Value(log, "File", "Last"), "100002");
    EXPECT_EQ(Value(log, "File", "100000"), "5,C:\\A");
    EXPECT_EQ(Value(log, "File", "100001"), "5,C:\\B");
    EXPECT_EQ(Value(log, "File", "100002"), "5,C:\\C");
    EXPECT_EQ(Value(log, "File", "10000"), "0,EARLIER");
    EXPECT_EQ(Value(log, "File", "10001"), "0,EARLIER TOO");

    WriteLogString(log, "Directory", "Last", "123456");
    AddDirectoryRecord(5, base + "\\NEW\\X", log);
    EXPECT_EQ(Value(log, "Directory", "123457"), "5," + base + "\\NEW");
}

TEST_F(ScriptLog, ALongDirectoryListIsKeptWhole)
{
    const std::string log = base + "\\INSTALL.LOG";
    std::string list;
    for (int i = 0; i < 60; ++i) list += ";" + base + "\\DIRECTORY" + std::to_string(i);
    ASSERT_GT(list.size(), 2000u);
    WriteLogString(log, "DirList", "1", list);
    WriteLogString(log, "Directory", "Last", "60");

    // Listed near the end of the text: found.
    AddDirectoryRecord(0, base + "\\DIRECTORY59\\X", log);
    EXPECT_EQ(Value(log, "Directory", "Last"), "60");
    // New: appended, and everything before it is still there.
    AddDirectoryRecord(0, base + "\\NEWONE\\X", log);
    EXPECT_EQ(Value(log, "DirList", "1"), list + ";" + base + "\\NEWONE");
    EXPECT_EQ(Value(log, "Directory", "61"), "0," + base + "\\NEWONE");
}

TEST_F(ScriptLog, CreateEmptyFileReplacesWhatIsThere)
{
    const std::string file = base + "\\E.LOG";
    ASSERT_TRUE(WriteWholeFile(file, "old contents"));
    EXPECT_EQ(CreateEmptyFile(file), 1);
    bool exists = false;
    EXPECT_EQ(ReadWholeFile(file, &exists), "");
    EXPECT_TRUE(exists);
    EXPECT_EQ(CreateEmptyFile(base + "\\MISSING\\E.LOG"), -1);
}

}  // namespace
