#include "remove/RemoveApp.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/progman/ProgmanClient.h"
#include "fsutil/FsUtil.h"
#include "fw/Message.h"
#include "fw/Process.h"
#include "fw/ResString.h"
#include "records/RegistryRecords.h"
#include "records/Removal.h"
#include "records/RemovalLog.h"
#include "remove/RemovalWindow.h"
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "state/ProductFiles.h"

namespace {

constexpr char kResidue[] = "/RESIDUE";
// The list of what was kept under /S, in the temporary folder.
constexpr char kReportName[] = "CVREMOVE.TXT";

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

std::string Upper(std::string text)
{
    fw::ToUpper(text);
    return text;
}

std::string ProgramPath()
{
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

std::string TempFolder()
{
    char path[MAX_PATH] = {};
    DWORD n = GetTempPathA(MAX_PATH, path);
    std::string folder = n > 0 && n < MAX_PATH ? std::string(path, n) : std::string("C:\\");
    StripTrailingBackslash(folder);
    return folder;
}

bool MayChangeTheSystem(const std::string& osVersionText)
{
    if (osVersionText.find("WinNT") == std::string::npos) return true;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Starts the copy of this program that deletes it once it has ended.
void LeaveTheRestToACopy(const std::string& program, const std::vector<std::string>& directories)
{
    char unique[MAX_PATH] = {};
    std::string temp = TempFolder();
    if (!GetTempFileNameA(temp.c_str(), "cvr", 0, unique)) return;
    DeleteFileA(unique);
    std::string folder = unique;
    if (!CreateDirectoryA(folder.c_str(), nullptr)) return;
    // The copy keeps the program's name: the system's settings for a
    // program follow its name.
    std::string copy = folder + "\\" + product_file::kUninstaller;
    if (!CopyFileA(program.c_str(), copy.c_str(), FALSE)) {
        RemoveDirectoryA(folder.c_str());
        return;
    }
    std::string line = fw::QuotedPath(copy) + " " + kResidue + " " + std::to_string(GetCurrentProcessId()) + " \"" +
                       program + "\"";
    for (const std::string& directory : directories) line += " \"" + directory + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

// The copy's work: wait for the uninstaller to end, delete it and its
// folders left empty, and go at the next restart.
void FinishResidue(const RemoveOptions& options)
{
    if (options.residueWords.empty()) return;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, options.waitFor);
    if (process) {
        WaitForSingleObject(process, 60000);
        CloseHandle(process);
    }
    const std::string& program = options.residueWords.front();
    for (int i = 0; i < 50 && FileExists(program) && !DeleteFileA(program.c_str()); ++i) Sleep(100);
    for (size_t i = 1; i < options.residueWords.size(); ++i) RemoveDirectoryA(options.residueWords[i].c_str());
    const std::string self = ProgramPath();
    const std::string os = OsVersionText();
    DeleteAtRestart(self, os, WindowsDirectory());
    DeleteAtRestart(DirectoryOf(self), os, WindowsDirectory());
}

}  // namespace

RemoveOptions ParseRemoveCommandLine(const std::string& commandLine)
{
    RemoveOptions options;
    std::vector<std::string> words = Words(commandLine);
    for (size_t i = 0; i < words.size(); ++i) {
        std::string upper = Upper(words[i]);
        if (upper == kResidue) {
            options.residue = true;
            if (i + 1 < words.size()) options.waitFor = std::strtoul(words[i + 1].c_str(), nullptr, 10);
            options.residueWords.assign(words.begin() + (long)std::min(i + 2, words.size()), words.end());
            break;
        }
        if (upper == "/S") options.silent = true;
        else if (!upper.empty() && upper[0] == '/') options.usage = true;
        else if (options.logPath.empty()) options.logPath = words[i];
    }
    return options;
}

bool RemoveApp::InitInstance()
{
    RemoveOptions options = ParseRemoveCommandLine(CommandLine());
    if (options.residue) {
        FinishResidue(options);
        exitCode_ = 0;
        return false;
    }
    exitCode_ = Remove(options);
    return false;
}

void RemoveApp::Tell(const RemoveOptions& options, UINT messageId, const std::string& argument)
{
    if (!options.silent) fw::ShowMessage(nullptr, fw::FormatResString(messageId, argument), caption_, MB_OK | MB_ICONEXCLAMATION);
}

int RemoveApp::Remove(const RemoveOptions& options)
{
    const std::string program = ProgramPath();
    RemovalSetup setup;
    setup.installLog = options.logPath.empty() ? JoinPath(DirectoryOf(program), product_file::kInstallLog) : options.logPath;
    setup.removalLog = RemovalLogPath(setup.installLog);
    setup.runningProgram = program;
    setup.osVersionText = OsVersionText();
    setup.places = ProtectedPlaces::OfThisSystem();
    const std::string name = ReadLogString(setup.removalLog, removal_log::kProduct, "Name");
    caption_ = fw::FormatResString(IDS_REMOVE_CAPTION, name);

    if (options.usage) {
        Tell(options, IDS_REMOVE_USAGE, "");
        return remove_exit::kNothingChanged;
    }
    // One installer or uninstaller at a time.
    HANDLE running = CreateMutexA(nullptr, TRUE, product_file::kSetupMutex);
    if (!running || GetLastError() == ERROR_ALREADY_EXISTS) {
        Tell(options, IDS_REMOVE_BUSY, "");
        if (running) CloseHandle(running);
        return remove_exit::kNothingChanged;
    }
    struct Release {
        HANDLE mutex;
        ~Release()
        {
            ReleaseMutex(mutex);
            CloseHandle(mutex);
        }
    } release{running};

    if (!MayChangeTheSystem(setup.osVersionText)) {
        Tell(options, IDS_REMOVE_NO_RIGHTS, "");
        return remove_exit::kNothingChanged;
    }
    if (!RemovalLogsReadable(setup.installLog, setup.removalLog)) {
        Tell(options, IDS_REMOVE_NO_LOG, setup.installLog);
        return remove_exit::kNothingChanged;
    }
    if (!options.silent &&
        fw::ShowMessage(nullptr, fw::FormatResString(IDS_REMOVE_QUESTION, name), caption_,
                        MB_YESNO | MB_ICONQUESTION) != IDYES)
        return remove_exit::kDeclined;

    RemovalResult result;
    {
        ProgmanItemRemover progman;
        if (options.silent) {
            SilentRemoval view;
            result = RemoveInstall(setup, view, progman);
        } else {
            RemovalWindow window(caption_);
            window.Create();
            result = RemoveInstall(setup, window, progman);
        }
    }

    std::string report = fw::FormatResString(IDS_REMOVE_DONE, name);
    if (!result.kept.empty()) {
        report += "\r\n\r\n" + fw::LoadResString(IDS_REMOVE_KEPT);
        for (const std::string& line : result.kept) report += "\r\n" + line;
    }
    if (!result.atRestart.empty()) {
        report += "\r\n\r\n" + fw::LoadResString(IDS_REMOVE_AT_RESTART);
        for (const std::string& line : result.atRestart) report += "\r\n" + line;
    }
    if (options.silent) {
        std::string path = TempFolder() + "\\" + kReportName;
        if (FILE* file = std::fopen(path.c_str(), "wb")) {
            std::fputs((report + "\r\n").c_str(), file);
            std::fclose(file);
        }
    } else {
        fw::ShowMessage(nullptr, report, caption_,
                        MB_OK | (result.kept.empty() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
    }
    LeaveTheRestToACopy(program, result.lastDirectories);
    return result.kept.empty() ? remove_exit::kRemoved : remove_exit::kRemovedWithItemsKept;
}
