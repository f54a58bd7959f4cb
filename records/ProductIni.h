// The product's own records outside its directory: CRVN.INI in the Windows
// directory (where the product lives, its program group), and, with the
// memory manager, its registry entries, the shared system libraries it
// needs and its tuning file; the game trainer's settings file. Read back by
// a later install to propose the same place again.
#pragma once
#include <string>
#include <vector>

struct InstallState;

// The places of the running system that the records depend on. Each
// operation has a form that takes them, so that every platform's branch
// can be run anywhere.
struct SystemPlaces {
    std::string osVersionText;  // "WinNT 4.0", "Win95 4.0", "Win32S 3.10"
    std::string windowsDir;     // holds CRVN.INI
    std::string systemDir;      // receives the shared libraries

    // The places of the system this program runs on.
    static SystemPlaces OfThisSystem();
};

// Fills productDir, targetDir1 and installLogPath from an earlier install,
// when one is recorded. Runs once, after the welcome page.
void DetectPreviousInstall(InstallState& state);
void DetectPreviousInstall(InstallState& state, const SystemPlaces& places);

// Writes the records of a completed install.
void WriteProductIni(InstallState& state);
void WriteProductIni(InstallState& state, const SystemPlaces& places);

// The memory manager's records: registry entries or CRVN.INI section,
// the merge of UNINST.LOG into the install log, the shared libraries and
// MEMTUNE.NOT. -1 when the registry key names are missing (nothing after
// the first step is done), else 0.
int WriteMemoryManagerRecords(InstallState& state, const std::string& iniPath, const SystemPlaces& places);

// "Scanned" = "No" in the game trainer's TRICORN.INI.
void WriteTrainerIni(const InstallState& state);

// 1 and major * 100 + minor of the file version in `number`, or 0 (and 0)
// when the file carries no version information.
int FileVersionNumber(const std::string& path, unsigned& number);

// 0 when `source` was copied to `destination`, 1 on failure. The copy is
// moved into place only when whole: on a failure the destination is as it
// was.
int CopyWholeFile(const std::string& source, const std::string& destination);

// Appends the lines of `source` that have at least two characters and do
// not start with ";" or "#" to the existing file `destination`. 0 when
// done, 1 when a file cannot be opened or a write fails.
// The lines appended go to `appendedLines` when it is given.
int AppendTextLines(const std::string& source, const std::string& destination,
                    std::vector<std::string>* appendedLines = nullptr);
