// The binding to the unpack library (its interface: unpack/cunpack.h):
// "CUNPCK32.DLL" on the media is staged as CUNPACK.DLL in the Windows
// directory, loaded for the whole run, and unpacks one archive at a time.
// The staging, UnpackArchive and the unloading are operations of the
// ScriptEngine (they use its face and its copy routine); this is what they
// share for one run.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "fw/File.h"
#include "unpack/cunpack.h"

// Name of the library on the media, and of its staged copy.
extern const char kUnpackLibraryName[];  // "CUNPCK32.DLL"
extern const char kStagedLibraryName[];  // "CUNPACK.DLL"

constexpr int kUnpackNameBuffer = CUNPACK_NAME_BUFFER;

// Results of UnpackArchive.
enum UnpackResult : int {
    kUnpackDone = 0,
    kUnpackError = 4,       // error while unpacking, reported; go on
    kUnpackFailed = 5,      // not opened, or not ended cleanly; reported
    kUnpackNotOpened = 6,   // no init entry point, or not opened and ended cleanly
    kUnpackStopped = 7,     // cancelled: the engine stops the script
};
// Its name in the diagnostic log ("unpacked", "error", ...).
std::string UnpackResultName(int result);

// The archive's times, given to every file it puts on disk.
struct ArchiveTimes {
    fw::FileTimes times;
    bool known = false;
};

struct UnpackLibrary {
    std::string mediaPath;    // sourceDir + "\CUNPCK32.DLL"
    std::string stagedPath;   // Windows directory + "\CUNPACK.DLL"
    HMODULE handle = nullptr;
    // True when the staged copy was made but could not be loaded.
    bool loadFailed = false;
    // One for the whole run, passed to every exec call; one character more
    // than the library may fill, so that the text always ends.
    char nameBuffer[kUnpackNameBuffer + 1] = {};
    DWORD auxValue = 0;
};

// What the staging came to.
enum class StageResult {
    Loaded,     // handle set
    NotLoaded,  // copied, but it would not load (11133 shown)
    Cancelled,  // the user gave up at the diskette prompt or at 11141
};
