// Directory, drive and version helpers on real directories and drives of
// the Wine prefix.

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>

#include <cerrno>
#include <cstdlib>
#include <regex>
#include <string>

#include "fsutil/FsUtil.h"
#include "support/ScratchDir.h"

namespace {

bool IsDirectory(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FsutilCreateDirectory, MakesEveryMissingLevel)
{
    ScratchDir scratch("mkdir");
    const std::string cases[] = {
        scratch / "A",
        scratch / "B\\C\\D",
        scratch / "E\\F\\",  // one trailing backslash is dropped
    };
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(CreateDirectoryPath(path), 0);
        std::string made = path;
        StripTrailingBackslash(made);
        EXPECT_TRUE(IsDirectory(made));
    }
}

TEST(FsutilCreateDirectory, ReportsTheErrorNumberOfTheLastLevel)
{
    ScratchDir scratch("mkdir-errors");
    ASSERT_EQ(CreateDirectoryPath(scratch / "THERE"), 0);
    std::string noDisk = UnusedDriveLetter();
    ASSERT_FALSE(noDisk.empty());

    struct Case {
        std::string path;
        int error;
    };
    std::vector<Case> cases = {
        {scratch / "THERE", EEXIST},
        {scratch / "THERE\\", EEXIST},
        {noDisk + "\\A\\B", ENOENT},  // no parent can be made
    };
    std::string unwritable = UnwritableDirectory();
    if (!unwritable.empty()) cases.push_back({unwritable + "\\CVTEST", EACCES});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        errno = 0;
        EXPECT_EQ(CreateDirectoryPath(c.path), -1);
        EXPECT_EQ(errno, c.error);
    }
}

// The tracked creation reports exactly the levels it made, and taking those
// back leaves every directory that was there before, empty or not.
TEST(FsutilCreateDirectory, TakesBackOnlyTheLevelsItMade)
{
    ScratchDir scratch("mkdir-tracked");
    ASSERT_TRUE(CreateDirectoryA((scratch / "GAMES").c_str(), nullptr));  // the user's, empty
    struct Case {
        std::string path;
        std::vector<std::string> made;
        std::vector<std::string> staysAfter;
    };
    const Case cases[] = {
        {scratch / "GAMES\\VELOMIR", {scratch / "GAMES\\VELOMIR"}, {scratch / "GAMES"}},
        {scratch / "NEW\\A\\B\\", {scratch / "NEW", scratch / "NEW\\A", scratch / "NEW\\A\\B"}, {}},
        {scratch / "GAMES", {}, {scratch / "GAMES"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DirectoryCreation creation = CreateDirectoryPathTracked(c.path);
        EXPECT_EQ(creation.made, c.made);
        EXPECT_EQ(creation.result, c.made.empty() ? -1 : 0);
        RemoveMadeDirectories(creation.made);
        for (const std::string& level : c.made) EXPECT_FALSE(PathExists(level)) << level;
        for (const std::string& kept : c.staysAfter) EXPECT_TRUE(IsDirectory(kept)) << kept;
    }
    // A level made by the call that holds a file by now stays.
    DirectoryCreation creation = CreateDirectoryPathTracked(scratch / "KEEP\\SUB");
    ASSERT_TRUE(WriteWholeFile(scratch / "KEEP\\A.TXT", "a"));
    RemoveMadeDirectories(creation.made);
    EXPECT_FALSE(PathExists(scratch / "KEEP\\SUB"));
    EXPECT_TRUE(IsDirectory(scratch / "KEEP"));
}

TEST(FsutilWritable, MakesAndRemovesItsProbe)
{
    ScratchDir scratch("writable");
    EXPECT_EQ(IsDirectoryWritable(scratch.Path()), 0);
    EXPECT_FALSE(PathExists(scratch / "test.tmp"));

    EXPECT_EQ(IsDirectoryWritable(scratch / "MISSING"), 1);
    EXPECT_FALSE(PathExists(scratch / "MISSING"));

    std::string unwritable = UnwritableDirectory();
    if (!unwritable.empty()) {
        EXPECT_EQ(IsDirectoryWritable(unwritable), 1);
    }
}

TEST(FsutilWritable, LeavesAFileOfTheSameNameAsItWas)
{
    ScratchDir scratch("writable-keep");
    const std::string mine = scratch / "test.tmp";
    ASSERT_TRUE(WriteWholeFile(mine, "the user's own notes"));
    EXPECT_EQ(IsDirectoryWritable(scratch.Path()), 0);
    EXPECT_EQ(ReadWholeFile(mine), "the user's own notes");

    // Only the user's file is left behind.
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((scratch / "*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    int files = 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    EXPECT_EQ(files, 1);
}

TEST(FsutilFreeSpace, GivesTheDrivesFreeKilobytes)
{
    for (const char* drive : {"C:", "C:\\", "c:\\windows"}) {
        SCOPED_TRACE(drive);
        std::string text = "unset";
        ASSERT_EQ(FreeSpaceKB(drive, text), 0);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_not_of("0123456789"), std::string::npos) << text;

        ULARGE_INTEGER available, total, free;
        ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
        // The free space moves while the tests run; a wrapped 32-bit figure
        // would be off by gigabytes.
        double expected = (double)(free.QuadPart >> 10);
        double got = std::strtod(text.c_str(), nullptr);
        EXPECT_NEAR(got, expected, expected * 0.01 + 1024) << text;
    }
}

TEST(FsutilFreeSpace, DriveWithoutDiskGivesZeroAndOne)
{
    std::string noDisk = UnusedDriveLetter();
    ASSERT_FALSE(noDisk.empty());
    std::string text = "unset";
    EXPECT_EQ(FreeSpaceKB(noDisk, text), 1);
    EXPECT_EQ(text, "0");
}

TEST(FsutilDrive, AvailableOnlyWhenThereIsADriveAndKeepsTheCurrentOne)
{
    std::string noDisk = UnusedDriveLetter();
    ASSERT_FALSE(noDisk.empty());
    std::string lower = noDisk;
    lower[0] = (char)(lower[0] - 'A' + 'a');
    struct Case {
        std::string path;
        int expected;
    };
    const Case cases[] = {
        {"C:", 1}, {"c:\\windows", 1}, {"Z:\\", 1}, {noDisk, 0}, {lower + "\\X", 0}, {"", 0},
        {"1:", 0},
    };
    int before = _getdrive();
    for (const Case& c : cases) {
        EXPECT_EQ(IsDriveAvailable(c.path), c.expected) << "\"" << c.path << "\"";
        EXPECT_EQ(_getdrive(), before) << "after \"" << c.path << "\"";
    }
}

TEST(FsutilVersion, NamesThePlatformAndItsVersion)
{
    std::string text = MakeOsVersionText();
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, std::regex("(WinNT|Win95|Win32S) ([0-9]+)\\.([0-9]+)")))
        << text;
    DWORD version = GetVersion();
    EXPECT_EQ(std::stoul(m[2]), (unsigned long)LOBYTE(LOWORD(version)));
    EXPECT_EQ(std::stoul(m[3]), (unsigned long)HIBYTE(LOWORD(version)));
    // Wine answers as Windows NT does: the top bit of the version is clear.
    EXPECT_EQ(m[1], "WinNT");
}

TEST(FsutilRemoveChain, RemovesEmptyLevelsAndKeepsParentsInUse)
{
    ScratchDir scratch("rmchain");
    ASSERT_EQ(CreateDirectoryPath(scratch / "A\\B\\C\\D"), 0);
    ASSERT_TRUE(WriteWholeFile(scratch / "A\\KEEP.TXT", "x"));

    RemoveDirectoryChain(scratch / "A\\B\\C\\D\\");
    EXPECT_FALSE(PathExists(scratch / "A\\B"));
    EXPECT_TRUE(IsDirectory(scratch / "A"));
    EXPECT_TRUE(PathExists(scratch / "A\\KEEP.TXT"));
    EXPECT_TRUE(IsDirectory(scratch.Path()));
}

TEST(FsutilRemoveChain, ADirectoryThatHoldsSomethingStaysWithItsParents)
{
    ScratchDir scratch("rmchain-full");
    ASSERT_EQ(CreateDirectoryPath(scratch / "A\\B"), 0);
    ASSERT_TRUE(WriteWholeFile(scratch / "A\\B\\FILE", "x"));
    RemoveDirectoryChain(scratch / "A\\B");
    EXPECT_TRUE(PathExists(scratch / "A\\B\\FILE"));
    EXPECT_TRUE(IsDirectory(scratch / "A"));
}

TEST(FsutilRemoveChain, LeavesTheCurrentDirectoryOfTheDriveAlone)
{
    // "C:" alone names the current directory of drive C (kept in the
    // environment as "=C:" while another drive is current), which is no
    // parent of the chain: an empty one must survive the walk.
    ScratchDir scratch("rmchain-cwd");
    ASSERT_EQ(scratch.Path().substr(1, 2), ":\\");
    ASSERT_EQ(CreateDirectoryPath(scratch / "CURRENT"), 0);
    ASSERT_EQ(CreateDirectoryPath(scratch / "X\\Y"), 0);
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    const std::string driveVariable = "=" + scratch.Path().substr(0, 2);
    ASSERT_TRUE(SetCurrentDirectoryA("Z:\\"));
    ASSERT_TRUE(SetEnvironmentVariableA(driveVariable.c_str(), (scratch / "CURRENT").c_str()));

    RemoveDirectoryChain(scratch / "X\\Y");
    bool currentSurvived = IsDirectory(scratch / "CURRENT");
    SetEnvironmentVariableA(driveVariable.c_str(), nullptr);
    SetCurrentDirectoryA(previous);

    EXPECT_FALSE(PathExists(scratch / "X"));
    EXPECT_TRUE(currentSurvived);
}

}  // namespace
