// The shipped archives of the built media (the sample product's media/ALL), unpacked through
// CUNPCK32.DLL: they carry what the installer's later steps read from the
// installed product, and their sizes follow the component sizes that the
// string table announces.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "cunpack.h"
#include "support/TestFiles.h"
#include "support/ScratchDir.h"

namespace {

std::string MediaAll() { return SampleMediaAll(); }

// Unpacks every shipped archive once into its own directory.
class ShippedProduct : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        scratch_ = new ScratchDir("shipped");
        bytesPerArchive_ = new std::map<std::string, unsigned long long>;
        HMODULE lib = LoadLibraryA((ProgramDir() + "\\CUNPCK32.DLL").c_str());
        if (!lib) return;
        auto init = reinterpret_cast<CunpackInitProc>(GetProcAddress(lib, CUNPACK_INIT_NAME));
        auto exec = reinterpret_cast<CunpackExecProc>(GetProcAddress(lib, CUNPACK_EXEC_NAME));
        auto exit = reinterpret_cast<CunpackExitProc>(GetProcAddress(lib, CUNPACK_EXIT_NAME));
        // A library without its entry points leaves every archive unpacked:
        // the tests below then fail by name instead of the program crashing.
        if (!init || !exec || !exit) {
            FreeLibrary(lib);
            return;
        }
        for (const char* archive : kArchives) {
            std::string dest = Dir(archive);
            if (init((MediaAll() + "\\" + archive + ".ZPK").c_str(), dest.c_str(), 0, 100, nullptr, 1034,
                     nullptr) == 1) {
                exit();
                continue;
            }
            char name[CUNPACK_NAME_BUFFER];
            DWORD size = 0;
            int rc;
            unsigned long long total = 0;
            while ((rc = exec(name, &size)) == 2) total += size;
            exit();
            if (rc == 0) (*bytesPerArchive_)[archive] = total;
        }
        FreeLibrary(lib);
    }
    static void TearDownTestSuite()
    {
        delete scratch_;
        delete bytesPerArchive_;
    }
    static std::string Dir(const std::string& archive) { return *scratch_ / archive; }

    static constexpr const char* kArchives[] = {"RAMHOLD", "RHSETUP", "RHWIN",   "INV",      "WINSYS", "TECHNOTE",
                                                "CDPMI",   "MEMTUNE", "TRICORN", "DISKSPUR", "DSPDLL"};
    static ScratchDir* scratch_;
    static std::map<std::string, unsigned long long>* bytesPerArchive_;
};

ScratchDir* ShippedProduct::scratch_ = nullptr;
std::map<std::string, unsigned long long>* ShippedProduct::bytesPerArchive_ = nullptr;

TEST_F(ShippedProduct, EveryArchiveUnpacksCompletely)
{
    for (const char* archive : kArchives)
        EXPECT_EQ(bytesPerArchive_->count(archive), 1u) << archive << ".ZPK in " << MediaAll();
}

TEST_F(ShippedProduct, MembersSitInTheArchiveTheirLinesAndRecordsExpect)
{
    struct Member {
        const char* archive;
        const char* path;
    };
    const Member members[] = {
        {"RAMHOLD", "RHREG.COM"},          {"RAMHOLD", "RHOLD386.SYS"},       {"RAMHOLD", "UNINST.LOG"},
        {"RHSETUP", "RHSETUP.EXE"},        {"RHWIN", "RHWIN.386"},            {"INV", "INV.EXE"},
        {"INV", "INVDATA\\HISTORY.DAT"},   {"WINSYS", "SYSTEM\\CTL3DV2.DLL"}, {"WINSYS", "SYSTEM\\TOOLHELP.DLL"},
        {"TECHNOTE", "TECHNOTE\\INDEX.TXT"}, {"CDPMI", "CDPMI.OVL"},          {"MEMTUNE", "MEMTUNE.EXE"},
        {"MEMTUNE", "MEMTUNE.DEF"},        {"TRICORN", "TRICORN.EXE"},        {"DISKSPUR", "READ.ME"},
        {"DISKSPUR", "DSPPANEL.EXE"},      {"DISKSPUR", "DSPOPT.EXE"},        {"DSPDLL", "DSPCACHE.DLL"},
    };
    for (const Member& m : members) {
        DWORD attributes = GetFileAttributesA((Dir(m.archive) + "\\" + m.path).c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            << m.path << " in " << m.archive << ".ZPK";
    }
    // The memory tuner is deleted by the script before MEMTUNE.ZPK is
    // unpacked: no archive brings the old one back.
    for (const char* archive : kArchives)
        EXPECT_EQ(GetFileAttributesA((Dir(archive) + "\\MEMTUNE.COM").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ShippedProduct, RegistrationProgramCarriesTheVersionMarkerBeforeAnyZeroByte)
{
    std::string text = ReadWholeFile(Dir("RAMHOLD") + "\\RHREG.COM");
    text = text.substr(0, text.find('\0'));
    size_t at = text.find("386 V");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.substr(at + 5, 4), "8.00");
}

TEST_F(ShippedProduct, SystemLibrariesCarryTheirVersions)
{
    struct Library {
        const char* path;
        DWORD major, minor;
    };
    for (Library l : {Library{"SYSTEM\\CTL3DV2.DLL", 2, 26}, Library{"SYSTEM\\TOOLHELP.DLL", 3, 10}}) {
        SCOPED_TRACE(l.path);
        std::string path = Dir("WINSYS") + "\\" + l.path;
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        ASSERT_GT(size, 28u);
        std::vector<char> data(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
        // The 8-bit layout: 4-byte header, "VS_VERSION_INFO", then the fixed
        // information whose third word is the most significant file version.
        EXPECT_EQ(std::string(data.data() + 4), "VS_VERSION_INFO");
        DWORD ms = *reinterpret_cast<DWORD*>(data.data() + 28);
        EXPECT_EQ(ms, (l.major << 16) | l.minor);
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT len = 0;
        ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
        EXPECT_EQ(fixed->dwFileVersionMS, (l.major << 16) | l.minor);
    }
}

TEST_F(ShippedProduct, TuningListAndUninstallRecordsAreThere)
{
    std::string def = ReadWholeFile(Dir("MEMTUNE") + "\\MEMTUNE.DEF");
    EXPECT_NE(def.find("\r\n;"), std::string::npos) << "comment lines";
    EXPECT_NE(def.find("\r\n#"), std::string::npos) << "comment lines";
    EXPECT_NE(def.find("SMARTDRV.EXE"), std::string::npos) << "entries";

    std::string log = Dir("RAMHOLD") + "\\UNINST.LOG";
    char value[260];
    for (const char* section : {"IniKey", "Registry"}) {
        GetPrivateProfileStringA(section, "Last", "", value, sizeof value, log.c_str());
        int last = atoi(value);
        EXPECT_GE(last, 1) << section;
        for (int i = 1; i <= last; ++i) {
            GetPrivateProfileStringA(section, std::to_string(i).c_str(), "", value, sizeof value, log.c_str());
            EXPECT_EQ(std::string(value).substr(0, 3), "11,") << section << " " << i;
        }
    }
}

TEST_F(ShippedProduct, ProgramsLogTheirCommandLines)
{
    struct Program {
        const char* archive;
        const char* name;
        const char* arguments;
    };
    const Program programs[] = {
        {"RHSETUP", "RHSETUP.EXE", "/I /X"},         {"MEMTUNE", "MEMTUNE.EXE", ""},
        {"INV", "INV.EXE", ""},                      {"TRICORN", "TRICORN.EXE", ""},
        {"DISKSPUR", "DSPPANEL.EXE", ""},            {"DISKSPUR", "DSPOPT.EXE", "NOREBOOT PREF"},
    };
    std::string logPath = *scratch_ / "CALLS.LOG";
    SetEnvironmentVariableA("CV_CALL_LOG", logPath.c_str());
    std::string expected;
    for (const Program& p : programs) {
        std::string command = Dir(p.archive) + "\\" + p.name + (*p.arguments ? " " : "") + p.arguments;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            << command;
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0) << p.name << " did not end";
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        expected += std::string(p.name) + "|" + p.arguments + "\r\n";
    }
    SetEnvironmentVariableA("CV_CALL_LOG", nullptr);
    EXPECT_EQ(ReadWholeFile(logPath), expected);
}

TEST_F(ShippedProduct, ComponentsUnpackToAboutTheSizesTheStringTableGives)
{
    const std::map<UINT, std::vector<const char*>> components = {
        {11401, {"RAMHOLD", "RHSETUP", "RHWIN", "INV", "WINSYS", "CDPMI", "MEMTUNE"}},
        {11402, {"TECHNOTE"}},
        {11403, {"TRICORN"}},
        {11404, {"DISKSPUR", "DSPDLL"}},
    };
    for (auto& [id, archives] : components) {
        char text[32] = {};
        ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text), 0) << id;
        double announcedKb = atof(text);
        unsigned long long bytes = 0;
        for (const char* a : archives) bytes += (*bytesPerArchive_)[a];
        double kb = double(bytes) / 1024.0;
        EXPECT_GT(kb, announcedKb * 0.75) << "component size " << id;
        EXPECT_LT(kb, announcedKb * 1.25) << "component size " << id;
    }
}

}  // namespace
