// The binding to the unpack library: "CUNPCK32.DLL" on the media is staged
// as CUNPACK.DLL in the Windows directory, loaded for the whole run, and
// unpacks one archive at a time through its three entry points:
//
//   "_cunpack_init@28" (archive path, destination directory, progress base,
//       share, window, message number, address of the cancel flag)
//       1 = the archive cannot be opened; anything else = ready
//   "_cunpack_exec@8"  (name buffer, address of a 32-bit value)
//       0 = finished; 1 = error; 2 = one file written, its full path is in
//       the name buffer; 4 = stopped; anything else = call again
//   "_cunpack_exit@0"  ()  1 = could not end cleanly
//
// The staging, UnpackArchive and the unloading are operations of the
// ScriptEngine (they use its window and its copy routine); this is what
// they share for one run.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Name of the library on the media, and of its staged copy.
extern const char kUnpackLibraryName[];  // "CUNPCK32.DLL"
extern const char kStagedLibraryName[];  // "CUNPACK.DLL"

// Size of the name buffer that exec fills, terminating zero included.
constexpr int kUnpackNameBuffer = 256;

// Results of UnpackArchive.
enum UnpackResult : int {
    kUnpackDone = 0,
    kUnpackError = 4,       // error while unpacking, reported; go on
    kUnpackFailed = 5,      // not opened, or not ended cleanly; reported
    kUnpackNotOpened = 6,   // no init entry point, or not opened and ended cleanly
    kUnpackStopped = 7,     // cancelled: the engine stops the script
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
