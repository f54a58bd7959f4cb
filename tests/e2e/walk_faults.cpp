// Walks on the fault drives (tests/scripts/fault-drives): F: is full for
// any component, R: is read-only and holds \VELOMIR and a copy of the first
// diskette in \DISK1.
#include "Driver.h"

namespace e2e {

bool FaultDrive(char letter)
{
    char root[] = {letter, ':', '\\', 0};
    DWORD attributes = GetFileAttributesA(root);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

constexpr ULONGLONG kLargestComponentKB = 3950;

void FaultDrives(const Args& args)
{
    REQUIRE(FaultDrive('F') && FaultDrive('R'), "the fault drives are not there");

    ULARGE_INTEGER available{}, total{}, free{};
    REQUIRE(GetDiskFreeSpaceExA("F:\\", &available, &total, &free), "no free space for F:");
    ULONGLONG totalKB = total.QuadPart / 1024, availableKB = available.QuadPart / 1024;
    CHECK(totalKB >= 1024 && totalKB <= 3072, "F: holds %llu KB, not about 2 MB", totalKB);
    CHECK(availableKB < kLargestComponentKB, "F: has %llu KB free, room for the largest component",
          availableKB);

    DWORD velomir = GetFileAttributesA("R:\\VELOMIR");
    CHECK(velomir != INVALID_FILE_ATTRIBUTES && (velomir & FILE_ATTRIBUTE_DIRECTORY), "no R:\\VELOMIR");
    CHECK(!CreateDirectoryA("R:\\NEW", nullptr), "R: took a new directory");
    HANDLE file = CreateFileA("R:\\VELOMIR\\NEW.TXT", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CHECK(file == INVALID_HANDLE_VALUE, "R: took a new file");
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);

    // The media on the read-only drive: the installer takes its source from
    // there (the licence text on it is found) and ends cleanly.
    Installer installer;
    HWND welcome = StartAtWelcome(args, installer);
    if (!welcome) return;
    ui::Click(GetDlgItem(welcome, 10105));
    HWND license = WaitPage(installer, "Corvane License Agreement");
    REQUIRE(license, "no licence page from the media on %s", args.sourceDir.c_str());
    LeaveWithYes(args, installer, license);
    ExpectCleanupCalls(args, 2);
}

// A source directory past the limit of the system's file names: one clear
// message naming it, then the run ends as after Exit, with nothing done.
void LongSource(const Args& args)
{
    std::string source = args.sourceDir;
    while (source.size() < 300) source += "\\LONGPATH";
    Installer installer;
    bool started = installer.Start(args.installer, "/P " + source);
    REQUIRE(started, "cannot start %s", args.installer.c_str());
    HWND box = ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), kTitle); }, kStartTimeout);
    REQUIRE(box, "no message about the long source directory");
    installer.Settle();
    std::string text = ui::MessageBoxText(box);
    CharUpperA(source.data());
    CHECK(text.rfind("The source directory " + source + " is too long.", 0) == 0, "message: %s", text.c_str());
    CHECK(!ui::FindTopLevel(installer.Pid(), "#32770", "Welcome"), "the welcome page came up");
    ui::Click(GetDlgItem(box, IDOK));
    CHECK(installer.WaitEnd(kTimeout), "installer still running after the message");
    ExpectCleanupCalls(args, 1);
}

}  // namespace

E2E_SCENARIO("fault-drives", FaultDrives);
E2E_SCENARIO("long-source", LongSource);

}  // namespace e2e
