// The run's diagnostic log: a plain-text file, one line per event, each
// with the seconds since the log was opened. It is written for the people
// who read it after the run; the program never reads it back. Events are
// few (a line of the script, an archive, a message), never one per file, so
// each line goes to the file at once and survives a crash of the run.
#pragma once
#include <string>

namespace fw::diag {

// Creates `path` anew; false, with nothing open, when it cannot be written.
bool Open(const std::string& path);
bool IsOpen();
// One event; line breaks inside it become " | ". Nothing when no log is open.
void Write(const std::string& event);
void Close();

}  // namespace fw::diag
