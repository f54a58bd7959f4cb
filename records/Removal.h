// The removal of a completed install: everything INSTALL.LOG and
// CVREMOVE.LOG record is taken back, last entry first, within the rules of
// RemovalRules; what a rule keeps is named in the result. The uninstaller
// program composes it with its face; the undo of an incomplete install is
// another matter (Undo.h).
#pragma once
#include <string>
#include <vector>

#include "records/RemovalRules.h"

class ProgramItemRemover;

// What the removal asks and tells the person at the screen.
class RemovalView {
public:
    virtual ~RemovalView() = default;
    // How far the removal is, and what it works on.
    virtual void Progress(int percent, const std::string& what) = 0;
    // A file changed after the install: true to keep it (the default).
    virtual bool KeepChangedFile(const std::string& path) = 0;
    // A shared library no program counts any more: true to delete it.
    virtual bool RemoveSharedFile(const std::string& path) = 0;
    // A file the install moved aside: true to move it back.
    virtual bool RestoreMovedFile(const std::string& ownPath) = 0;
};

struct RemovalResult {
    // What stays, one line each: the thing and why.
    std::vector<std::string> kept;
    // Files in use, deleted when the system restarts.
    std::vector<std::string> atRestart;
    // The directories the install made that are left for the last step
    // (they still hold the uninstaller itself), deepest first.
    std::vector<std::string> lastDirectories;
};

struct RemovalSetup {
    std::string installLog;     // INSTALL.LOG
    std::string removalLog;     // CVREMOVE.LOG beside it
    std::string runningProgram; // the uninstaller that runs, left for the last step
    std::string osVersionText;
    ProtectedPlaces places;
};

// Takes back the install. The logs themselves are deleted at the end, so
// that a removal that was interrupted can be run again and finish the rest.
RemovalResult RemoveInstall(const RemovalSetup& setup, RemovalView& view, ProgramItemRemover& progman);

// Deletes `path` when the system next starts: Windows NT through its
// delayed move, Windows 95 through a "NUL=" line of WININIT.INI's
// [rename] section; Win32s knows neither.
void DeleteAtRestart(const std::string& path, const std::string& osVersionText, const std::string& windowsDir);

// True when the install log at `installLog` and its CVREMOVE.LOG can be
// read and record an install.
bool RemovalLogsReadable(const std::string& installLog, const std::string& removalLog);
