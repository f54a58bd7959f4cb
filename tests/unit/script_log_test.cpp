// INSTALL.LOG: the preparation of the component directories and the log,
// the file and directory records, on real files through the profile calls.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "state/InstallState.h"
#include "fsutil/FsUtil.h"
#include "script/InstallLog.h"
#include "script/ScriptEngine.h"
#include "support/TestFiles.h"
#include "support/EngineHarness.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"

namespace {

using Lines = std::vector<std::string>;

Lines Section(const std::string& log, const char* section)
{
    return ProfileSection(log, section);
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
    EngineHarness engine(state);
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
    // 21 names D in other letters; 31 a directory whose name begins as D's.
    const std::string d = base + "\\DOCS";
    std::string lower = d;
    CharLowerBuffA(lower.data(), (DWORD)lower.size());
    state.targetDir1 = d;
    state.targetDir2 = lower;
    state.targetDir3 = base + "\\DOC";
    EngineHarness engine(state);
    ASSERT_EQ(Prepare(engine, {11, 21, 31}), 1);
    const std::string log = d + "\\INSTALL.LOG";
    EXPECT_EQ(Section(log, "Directory"), (Lines{"Last=3", "1=11," + d, "2=21," + lower, "3=31," + base + "\\DOC"}));
    EXPECT_EQ(Section(log, "DirList"), (Lines{"1=;11," + d + ";31," + base + "\\DOC"}));
    EXPECT_EQ(Section(log, "Program"),
              (Lines{"Last=3", "1=11,Ramhold Memory Manager", "2=21,Technotes", "3=31,Tricorn"}));
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
    EngineHarness engine(state);
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
    EngineHarness engine(state);
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
    EngineHarness engine(state);
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
        EngineHarness first(state);
        ASSERT_EQ(Prepare(first, {11}), 1);
        AddFileRecord(11, base + "\\RAMHOLD\\A.EXE", state.installLogPath);
    }
    ASSERT_EQ(Value(state.installLogPath, "File", "Last"), "1");

    EngineHarness second(state);
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
    EngineHarness engine(state);
    ASSERT_EQ(Prepare(engine, {11}), 1);
    const std::string log = base + "\\RAMHOLD\\INSTALL.LOG";
    EXPECT_EQ(Section(log, "IniKey"), (Lines{"Last=1", "1=0,SYSTEM.INI,386Enh,X"}));
    EXPECT_EQ(Section(log, "Directory"), (Lines{"Last=1", "1=11," + base + "\\RAMHOLD"}));
    // The seed copy is recorded once the copy is in place.
    EXPECT_EQ(Section(log, "File"), (Lines{"Last=1", "1=1," + log}));
    EXPECT_EQ(engine.Values().askOnError, 1);
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
    EngineHarness engine(state);
    int result = Prepare(engine, {11});
    CloseHandle(held);
    ASSERT_EQ(result, 1);
    const std::string log = base + "\\RAMHOLD\\INSTALL.LOG";
    EXPECT_EQ(Section(log, "IniKey"), Lines{});
    EXPECT_EQ(Section(log, "File"), Lines{});  // the old log is replaced
    EXPECT_EQ(Section(log, "Directory"), (Lines{"Last=1", "1=11," + base + "\\RAMHOLD"}));
    EXPECT_EQ(engine.Values().askOnError, 1);
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
        EngineHarness engine(s);
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
    EngineHarness engine(state);
    EXPECT_EQ(Prepare(engine, {11}), 1);
    EXPECT_EQ(answerer.Count(), 0u);
}

TEST_F(ScriptLog, UnselectedComponentsAreLeftAlone)
{
    EngineHarness engine(state);
    engine.TakeRunCopies();
    EXPECT_EQ(engine.PrepareInstallLog(0, 11, base + "\\A", true), 1);
    EXPECT_EQ(engine.PrepareInstallLog(2, 21, base + "\\B", false), 1);  // only 1 selects
    EXPECT_FALSE(PathExists(base + "\\A"));
    EXPECT_FALSE(PathExists(base + "\\B"));
    EXPECT_EQ(state.installLogPath, "");
}

// ---- records ------------------------------------------------------------------

TEST_F(ScriptLog, DirListEntriesMatchWhole)
{
    struct Case {
        const char* listed;     // the "DirList" text before
        const char* directory;  // the directory of a new file
        bool recorded;
    };
    const Case cases[] = {
        {";11,C:\\VELOMIR\\DOCS", "C:\\VELOMIR\\DOC", true},  // the start of a listed name
        {";C:\\VELOMIR\\DOCS", "C:\\VELOMIR\\DOC", true},
        {";11,C:\\RAMHOLD", "C:\\RAM", true},
        {";C:\\VELOMIR\\DOCS\\OLD", "C:\\VELOMIR\\DOCS", true},  // a listed one's parent
        {";C:\\X\\VELOMIR", "C:\\X\\VELO", true},
        {";11,C:\\VELOMIR;C:\\VELOMIR\\DOCS", "C:\\VELOMIR\\DOCS", false},
        {";11,C:\\VELOMIR;21,C:\\TECHNOTE", "C:\\TECHNOTE", false},  // after its number
        {";11,C:\\VELOMIR", "c:\\Velomir", false},                  // in other letters
        {";11,C:\\VELOMIR;C:\\VELOMIR\\DOCS", "C:\\VELOMIR", false},
        {"", "C:\\VELOMIR", true},
    };
    int n = 0;
    for (bool batched : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.listed) + " + " + c.directory + (batched ? " (batched)" : ""));
            const std::string log = base + "\\" + std::to_string(++n) + ".LOG";
            if (*c.listed) WriteLogString(log, "DirList", "1", c.listed);
            WriteLogString(log, "Directory", "Last", "1");
            {
                std::optional<InstallLogBatch> batch;
                if (batched) batch.emplace();
                AddDirectoryRecord(31, std::string(c.directory) + "\\X.EXE", log);
            }
            std::string after = c.listed;
            if (c.recorded) after += std::string(";") + c.directory;
            EXPECT_EQ(Value(log, "DirList", "1"), after);
            EXPECT_EQ(Value(log, "Directory", "Last"), c.recorded ? "2" : "1");
            if (c.recorded) {
                EXPECT_EQ(Value(log, "Directory", "2"), std::string("31,") + c.directory);
            }
        }
    }
    // A name without a directory is not recorded.
    const std::string log = base + "\\NODIR.LOG";
    AddDirectoryRecord(31, "NODIR.EXE", log);
    EXPECT_FALSE(PathExists(log));
}

TEST_F(ScriptLog, AHundredFoldersAreAllListed)
{
    for (bool batched : {false, true}) {
        SCOPED_TRACE(batched ? "batched" : "as they happen");
        const std::string log = base + (batched ? "\\BATCHED.LOG" : "\\PLAIN.LOG");
        std::string listed;
        {
            std::optional<InstallLogBatch> batch;
            if (batched) batch.emplace();
            // From 99 down: FOLDER 1 comes after FOLDER 10 ... 19, whose names begin as its own.
            for (int i = 99; i >= 0; --i) {
                std::string dir = "C:\\VELOMIR\\A FOLDER WITH A LONGER NAME " + std::to_string(i);
                AddDirectoryRecord(0, dir + "\\X.EXE", log);
                AddDirectoryRecord(0, dir + "\\Y.EXE", log);
                listed += ";" + dir;
            }
        }
        ASSERT_GT(listed.size(), 4000u);
        EXPECT_EQ(Value(log, "DirList", "1"), listed);
        EXPECT_EQ(Value(log, "Directory", "Last"), "100");
        EXPECT_EQ(Value(log, "Directory", "100"), "0,C:\\VELOMIR\\A FOLDER WITH A LONGER NAME 0");
    }
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

// ---- records kept in memory ---------------------------------------------------

// One install's writing of its log under `root`, from a seed whose sections
// the run continues: the preparation, an archive, a copy, the records of
// the post-install step, each ending at a checkpoint. Gives the log's bytes
// at each checkpoint and after the batch (when there is one) has closed.
std::vector<std::string> InstallSteps(const std::string& root, bool batched)
{
    const std::string media = root + "\\MEDIA", t1 = root + "\\RAMHOLD";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA(media.c_str(), nullptr);
    EXPECT_TRUE(WriteWholeFile(media + "\\INSTALL.LOG", "[IniKey]\r\nLast=1\r\n1=0,SYSTEM.INI,386Enh,X\r\n"
                                                       "[File]\r\n1=0,SEED\r\nLast=1\r\n[item]\r\nlast=1\r\n1=0,OLD\r\n"));
    InstallState state;
    state.sourceDir = media;
    state.targetDir1 = t1;
    state.targetDir4 = t1 + "\\DISKSPUR";
    for (int n : {11, 41}) state.componentSelected[n] = 1;

    std::vector<std::string> bytes;
    std::optional<InstallLogBatch> batch;
    if (batched) batch.emplace();
    auto checkpoint = [&] {
        if (batched) FlushInstallLog();
        bytes.push_back(ReadWholeFile(state.installLogPath));
    };
    EngineHarness engine(state);
    engine.TakeRunCopies();
    EXPECT_EQ(engine.PrepareInstallLogs(), 1);
    const std::string log = state.installLogPath;
    checkpoint();
    for (int i = 0; i < 9; ++i) {  // an archive: files in three folders
        std::string file = t1 + "\\SUB" + std::to_string(i % 3) + "\\F" + std::to_string(i);
        AddDirectoryRecord(11, file, log);
        AddFileRecord(11, file, log);
    }
    checkpoint();
    AddFileRecord(5, t1 + "\\READ.ME", log);  // a copy
    checkpoint();
    for (int i = 0; i < 3; ++i) {  // new sections and old ones, in turns
        AppendLogEntry(log, "Group", "0,Velomir " + std::to_string(i));
        AppendLogEntry(log, "Item", "0,Item " + std::to_string(i));
        AppendLogEntry(log, "Registry", "0,Subkey," + std::to_string(i));
    }
    checkpoint();
    batch.reset();
    bytes.push_back(ReadWholeFile(log));
    return bytes;
}

TEST_F(ScriptLog, AtEachCheckpointTheLogIsWhatWritingEachRecordGives)
{
    const std::string plainRoot = base + "\\PLAIN", batchedRoot = base + "\\BATCHED";
    std::vector<std::string> plain = InstallSteps(plainRoot, false);
    std::vector<std::string> batched = InstallSteps(batchedRoot, true);
    ASSERT_EQ(plain.size(), batched.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        SCOPED_TRACE("checkpoint " + std::to_string(i + 1));
        std::string expected = plain[i];
        for (size_t at = 0; (at = expected.find(plainRoot, at)) != std::string::npos; at += batchedRoot.size())
            expected.replace(at, plainRoot.size(), batchedRoot);
        EXPECT_EQ(batched[i], expected);
    }
    // The file itself, once: the seed's sections continued in place.
    const std::string log = batchedRoot + "\\RAMHOLD\\INSTALL.LOG";
    EXPECT_EQ(Section(log, "File").front(), "1=0,SEED");
    EXPECT_EQ(Section(log, "File").back(), "12=5," + batchedRoot + "\\RAMHOLD\\READ.ME");
    EXPECT_EQ(Section(log, "item"), (Lines{"last=4", "1=0,OLD", "2=0,Item 0", "3=0,Item 1", "4=0,Item 2"}));
}

// Logs that a run continues, in the shapes a checkpoint meets: each row's
// text is the log before the run. The same records go once through a
// batch and once record by record through the profile calls; at each
// checkpoint both files must hold the same bytes.
TEST_F(ScriptLog, AContinuedLogIsAtEachCheckpointWhatWritingEachRecordGives)
{
    struct Row {
        const char* shape;
        const char* text;
    };
    const Row rows[] = {
        {"an empty file", ""},
        {"the list at the end without a final line end", "[Directory]\r\nLast=1\r\n1=11,C:\\V\r\n[File]\r\nLast=2\r\n1=0,A\r\n2=0,B"},
        {"blank lines between sections",
         "\r\n[Directory]\r\nLast=1\r\n1=11,C:\\V\r\n\r\n\r\n[File]\r\nLast=1\r\n1=0,A\r\n\r\n[DirList]\r\n1=;11,C:\\V\r\n\r\n"},
        {"lines ended by \\n alone", "[File]\nLast=1\n1=0,A\n[DirList]\n1=;11,C:\\V\n"},
        {"keys in other letters, a comment, keys before the first section",
         "Version=1\r\n[file]\r\n;kept\r\nlast=1\r\n1=0,A\r\n[directory]\r\nLAST=1\r\n1=11,C:\\V\r\n"},
        {"a section twice", "[File]\r\nLast=1\r\n1=0,A\r\n[Other]\r\nx=1\r\n[FILE]\r\n9=0,Z\r\n"},
        {"a list without keys, a counter without a value", "[File]\r\n[Directory]\r\nLast\r\n[Other]\r\nx=1\r\n"},
        {"letters beyond ASCII", "[File]\r\nLast=1\r\n1=0,C:\\CAF\xC9\\\xE9T\xE9\r\n"},
        {"spaces around the \"=\"", "[File]\r\n Last = 1 \r\n1 =0,A\r\n"},
        {"a line of spaces", "[File]\r\nLast=1\r\n   \r\n[Other]\r\nx=1\r\n"},
        {"a lone \\r", "[File]\r\nLast=1\r1=0,A\r\n"},
        {"a UTF-8 mark", "\xEF\xBB\xBF[File]\r\nLast=1\r\n1=0,A\r\n"},
        {"a section header without its bracket", "[File\r\nLast=1\r\n[Other]\r\nx=1\r\n"},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shape);
        std::vector<std::string> bytes[2];
        for (bool batched : {false, true}) {
            const std::string log = base + "\\" + std::to_string(++n) + ".LOG";
            ASSERT_TRUE(WriteWholeFile(log, row.text));
            std::optional<InstallLogBatch> batch;
            if (batched) batch.emplace();
            auto checkpoint = [&] {
                if (batched) FlushInstallLog();
                bytes[batched].push_back(ReadWholeFile(log));
            };
            // An archive into two folders, one of them with letters beyond ASCII.
            for (const char* file : {"C:\\V\\SUB\\A.EXE", "C:\\V\\\xC9T\xC9\\B.EXE", "C:\\V\\SUB\\C.EXE"}) {
                AddDirectoryRecord(11, file, log);
                AddFileRecord(11, file, log);
            }
            checkpoint();
            AddFileRecord(5, "C:\\V\\READ.ME", log);  // a copy
            checkpoint();
            AppendLogEntry(log, "Group", "0,Velomir");  // sections that appear first here
            AppendLogEntry(log, "Item", "0,Velomir,VELOMIR.EXE");
            AddFileRecord(5, "C:\\V\\LAST.TXT", log);
            checkpoint();
        }
        EXPECT_EQ(bytes[true], bytes[false]);
    }
}

// The profile calls cache a file they have read, and trust the cache
// while the file's write time is the one they saw (and, on Wine, is old
// enough). A read right after a checkpoint must see the file as the
// checkpoint left it.
TEST_F(ScriptLog, AReadRightAfterACheckpointSeesIt)
{
    const std::string log = base + "\\INSTALL.LOG";
    WriteLogString(log, "File", "Last", "1");
    WriteLogString(log, "File", "1", "0,EARLIER");
    InstallLogBatch batch;
    for (int i = 2; i < 40; ++i) {
        // Written long ago: the cache is trusted from now on.
        HANDLE file = CreateFileA(log.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        SYSTEMTIME old = {2001, 6, 0, 1, 12, 0, 0, 0};
        FILETIME written;
        SystemTimeToFileTime(&old, &written);
        SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
        char cached[16] = {};
        GetPrivateProfileStringA("File", "Last", "", cached, sizeof cached, log.c_str());
        ASSERT_EQ(std::string(cached), std::to_string(i - 1));
        AddFileRecord(5, "C:\\F" + std::to_string(i), log);
        FlushInstallLog();
        char last[16] = {}, entry[32] = {};
        GetPrivateProfileStringA("File", "Last", "", last, sizeof last, log.c_str());
        GetPrivateProfileStringA("File", std::to_string(i).c_str(), "", entry, sizeof entry, log.c_str());
        ASSERT_EQ(std::string(last), std::to_string(i));
        ASSERT_EQ(std::string(entry), "5,C:\\F" + std::to_string(i));
    }
}

TEST_F(ScriptLog, AWindowThatIsNoChildIsACheckpoint)
{
    const std::string log = base + "\\INSTALL.LOG";
    InstallLogBatch batch;
    AddFileRecord(5, "C:\\A", log);
    EXPECT_EQ(ReadWholeFile(log).find("5,C:\\A"), std::string::npos);  // kept in memory so far
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    EXPECT_EQ(ReadWholeFile(log).find("5,C:\\A"), std::string::npos);
    HWND popup = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(Section(log, "File"), (Lines{"Last=1", "1=5,C:\\A"}));
    DestroyWindow(popup);
    DestroyWindow(child);
}

TEST_F(ScriptLog, ARefusedWriteCostsNeitherTheRecordsNorTheUndoItsKnowledge)
{
    const std::string log = base + "\\INSTALL.LOG";
    const std::string other = base + "\\OTHER.LOG";
    WriteLogString(log, "File", "Last", "1");
    WriteLogString(log, "File", "1", "0,EARLIER");
    {
        InstallLogBatch batch;
        AddFileRecord(5, "C:\\A", log);
        AppendLogEntry(other, "File", "0,ELSEWHERE");
        AddFileRecord(5, "C:\\B", log);
        // Nobody else may open the file while this is held: the checkpoint
        // cannot write it, as on a full disk.
        HANDLE held = CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        FlushInstallLog();
        CloseHandle(held);
        EXPECT_EQ(Section(log, "File"), (Lines{"Last=1", "1=0,EARLIER"}));
        std::vector<LoggedEntry> run = RunLogEntries(log, "file");
        ASSERT_EQ(run.size(), 2u);
        EXPECT_EQ(run[0].number, 2);
        EXPECT_EQ(run[0].text, "5,C:\\A");
        EXPECT_EQ(run[1].number, 3);
        EXPECT_EQ(run[1].text, "5,C:\\B");
        AddFileRecord(5, "C:\\C", log);
    }
    // The next checkpoint writes what waited.
    EXPECT_EQ(Section(log, "File"), (Lines{"Last=4", "1=0,EARLIER", "2=5,C:\\A", "3=5,C:\\B", "4=5,C:\\C"}));
    EXPECT_EQ(RunLogEntries(log, "File").size(), 3u);
    EXPECT_EQ(RunLogEntries(other, "File").size(), 1u);
    EXPECT_TRUE(RunLogEntries(log, "Directory").empty());
    std::vector<std::string> paths = RunLogPaths();
    auto at = [&](const std::string& p) { return std::find(paths.begin(), paths.end(), p) - paths.begin(); };
    EXPECT_LT(at(log), at(other));
    EXPECT_LT(at(other), (long)paths.size());
}

}  // namespace
