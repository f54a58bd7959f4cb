// Where the install step's time goes: each archive line's time inside the
// unpack library and the engine's own work for each unpacked file, added
// up over the run and traced once at its end (as "CVENGINE: stage ..." to
// the debugger's output: under Wine, WINEDEBUG=+debugstr shows it). The
// benchmark of the install step prints these figures.
#pragma once
#include <cstdint>

namespace engine_stages {

enum Stage {
    kLibrary,   // inside the library's calls (progress handling included)
    kProgress,  // handling the library's progress messages
    kStamp,     // giving each unpacked file the archive's times
    kRecords,   // the file's log records and the run's own memory of it
    kDisplay,   // showing the file's name in the window
    kCount
};

int64_t Now();
void Add(Stage stage, int64_t since);
// Writes the sums of the run so far, with the number of files and progress
// messages, and starts again from zero.
void Trace();

}  // namespace engine_stages
