// The command line of an unattended or logged install: which words are
// options, where the source directory comes from, which values are
// refused; the answers nobody gives; the diskette beside the source.
#include <gtest/gtest.h>

#include "app/InstallOptions.h"
#include "app/UnattendedInstall.h"
#include "resources/resource.h"

TEST(InstallOptions, CommandLines)
{
    using Type = InstallOptions::Type;
    struct Case {
        const char* line;
        bool silent;
        const char* directory;  // null: not given
        Type type;
        std::vector<int> components;
        const char* group;      // null: not given; "-": /NOGROUP
        const char* log;
        const char* source;     // from C:\SETUP
        size_t problems;
    } cases[] = {
        // Lines of the earlier kind keep their rule byte for byte.
        {"", false, nullptr, Type::Unset, {}, nullptr, "", "C:\\SETUP", 0},
        {"/p a:\\disk1 /S", false, nullptr, Type::Unset, {}, nullptr, "", "A:\\DISK1 /S", 0},
        {"extra /p d:\\cd\\disk1", false, nullptr, Type::Unset, {}, nullptr, "", "D:\\CD\\DISK1", 0},
        {"/X /P C:\\ONE", false, nullptr, Type::Unset, {}, nullptr, "", "C:\\ONE", 0},
        // Options up to the first word /P; the source from there on.
        {"/S /D=C:\\X /P \\\\SRV\\CV", true, "C:\\X", Type::Unset, {}, nullptr, "", "\\\\SRV\\CV", 0},
        {"/s /log=C:/PUB/A.TXT", true, nullptr, Type::Unset, {}, nullptr, "C:/PUB/A.TXT", "C:\\SETUP", 0},
        {"/S /TYPE=express", true, nullptr, Type::Express, {}, nullptr, "", "C:\\SETUP", 0},
        {"/S /COMPONENTS=11,31 /D=C:\\OTHER /NOGROUP", true, "C:\\OTHER", Type::Custom, {11, 31}, "-", "",
         "C:\\SETUP", 0},
        {"/S /GROUP=\"My Tools\"", true, nullptr, Type::Unset, {}, "My Tools", "", "C:\\SETUP", 0},
        {"/S \"/GROUP=My Tools\" /P A:\\", true, nullptr, Type::Unset, {}, "My Tools", "", "A:\\", 0},
        {"/LOG=\"C:\\MY LOGS\\CV.TXT\"", false, nullptr, Type::Unset, {}, nullptr, "C:\\MY LOGS\\CV.TXT",
         "C:\\SETUP", 0},
        // Refused values and words that are no option.
        {"/S /TYPE=QUICK", true, nullptr, Type::Unset, {}, nullptr, "", "C:\\SETUP", 1},
        {"/S /COMPONENTS=", true, nullptr, Type::Unset, {}, nullptr, "", "C:\\SETUP", 1},
        {"/S /COMPONENTS=11,51", true, nullptr, Type::Unset, {}, nullptr, "", "C:\\SETUP", 1},
        {"/S /COMPONENTS=11,,21", true, nullptr, Type::Unset, {}, nullptr, "", "C:\\SETUP", 1},
        {"/S /GROUP=(Tools)", true, nullptr, Type::Unset, {}, "(Tools)", "", "C:\\SETUP", 1},
        {"/S /GROUP=A,B", true, nullptr, Type::Unset, {}, "A,B", "", "C:\\SETUP", 1},
        {"/S /GROUP=", true, nullptr, Type::Unset, {}, "", "", "C:\\SETUP", 1},
        {"/S /QUIET", true, nullptr, Type::Unset, {}, nullptr, "", "C:\\SETUP", 1},
        {"/S /TYPE=EXPRESS /COMPONENTS=11", true, nullptr, Type::Custom, {11}, nullptr, "", "C:\\SETUP", 1},
    };
    for (const Case& c : cases) {
        InstallOptions o = ParseInstallOptions(c.line);
        EXPECT_EQ(o.silent, c.silent) << c.line;
        const bool noGroup = c.group && std::string(c.group) == "-";
        EXPECT_EQ(o.directoryGiven, c.directory != nullptr) << c.line;
        EXPECT_EQ(o.directory, c.directory ? c.directory : "") << c.line;
        EXPECT_EQ(o.type, c.type) << c.line;
        EXPECT_EQ(o.components, c.components) << c.line;
        EXPECT_EQ(o.noGroup, noGroup) << c.line;
        EXPECT_EQ(o.groupGiven, c.group && !noGroup) << c.line;
        EXPECT_EQ(o.group, c.group && !noGroup ? c.group : "") << c.line;
        EXPECT_EQ(o.logPath, c.log) << c.line;
        EXPECT_EQ(SourceDirOf(o, c.line, "C:\\SETUP"), c.source) << c.line;
        EXPECT_EQ(o.problems.size(), c.problems) << c.line;
    }
    EXPECT_TRUE(ParseInstallOptions("/?").usage);
    EXPECT_EQ(ParseInstallOptions("/S /GROUP=G /NOGROUP").problems.size(), 1u);
}

TEST(InstallOptions, AnswersNobodyGives)
{
    struct Case { UINT id; UINT type; int answer; } cases[] = {
        {IDS_RENAME_QUESTION, MB_YESNO | MB_ICONQUESTION, IDYES},  // the user's file back
        {IDS_NEWER_VERSION, MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL},
        {IDS_EXIT_QUESTION, MB_YESNO | MB_ICONQUESTION, IDNO},
        {IDS_CANNOT_STAGE, MB_RETRYCANCEL, IDCANCEL},
        {IDS_INVALID_RECORD, MB_OK | MB_ICONEXCLAMATION, IDOK},
        {0, MB_YESNOCANCEL, IDCANCEL},
    };
    for (const Case& c : cases) EXPECT_EQ(UnattendedAnswer(c.id, c.type), c.answer) << c.id;
}

TEST(InstallOptions, DisketteBesideTheSource)
{
    struct Case { const char* folder; int disk; const char* sibling; } cases[] = {
        {"D:\\CV\\DISK1", 2, "D:\\CV\\DISK2"},
        {"D:\\CV\\DISK2\\", 3, "D:\\CV\\DISK3"},
        {"\\\\SRV\\CV\\disk9", 10, "\\\\SRV\\CV\\disk10"},
        {"D:\\CV\\DISK2", 2, ""},   // the same diskette
        {"D:\\CV\\ALL", 2, ""},     // no number at the end
        {"D:\\CV\\12", 2, ""},      // a number, not a diskette's name
        {"A:", 2, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(SiblingDisketteFolder(c.folder, c.disk), c.sibling) << c.folder;
}
