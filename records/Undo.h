// Takes back an install that did not complete, from its install log and
// from what the run remembers (the InstallState's runMemory).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/ComponentFlags.h"
#include "state/RunMemory.h"

struct InstallState;

// What the undo and the uninstaller need of Program Manager: its delete
// operations. The program that composes them hands them the Program
// Manager client's.
class ProgramItemRemover {
public:
    virtual ~ProgramItemRemover() = default;
    virtual void ShowGroup(const std::string& groupName) = 0;
    virtual void DeleteItem(const std::string& title) = 0;
    virtual void DeleteGroup(const std::string& groupName) = 0;
    // How many items the group's folder holds; -1 when that cannot be told.
    virtual int GroupItemCount(const std::string& groupName) = 0;
};

// Takes back what this run did: for every log this run wrote, latest
// first, the program items, groups, files and moved files that its own
// entries record; then every log is put back as it was before the run (or
// deleted where there was none), and the directory levels this run made
// are removed where they are empty. Entries of an earlier install, and the
// files it recorded, stay. A run whose install step never started removes
// nothing. `logPath` is the log the run ended with; every log the run
// wrote is known from runMemory. Items and groups go through `progman`.
void UndoFromLog(InstallState& state, const std::string& logPath, ProgramItemRemover& progman);

// The directory levels a run made: those its own creation made, and those
// the unpack library made between an archive's destination and the files
// it put there; top first.
std::vector<std::string> MadeLevels(const RunMemory& memory);

// The flags an entry is judged by: the component flags the install
// attempts ran with and their condition flags 1 ... 9.
struct UndoFlags {
    ComponentFlags components;
    std::array<int32_t, 10> conditions{};
};

// Takes the leading number off `entry` (and the comma after it) and says
// whether it counts as selected: 0 always; 1 ... 9 by their condition
// flags; 11 ... 18, 21, 31, 41, 51, 61 by their component flags; any other
// number never. An entry without a leading number is left as it is and
// gives false.
bool ConditionHolds(std::string& entry, const UndoFlags& flags);

// Moves `movedPath` back to `ownPath`, replacing the file there. 0 when it
// worked, -1 otherwise; a failure leaves both files as they were.
// `osVersionText` chooses the way: Windows NT replaces in one move; on
// Windows 95 and Win32s the file at `ownPath` is first moved aside.
int RestoreMovedFile(const std::string& movedPath, const std::string& ownPath, const std::string& osVersionText);
int RestoreMovedFile(const std::string& movedPath, const std::string& ownPath);
