// Starting other programs and waiting for them.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

// `path` as one word of a command line: in quotes when it holds a blank,
// so that the system does not try the text up to each blank as a program
// of its own.
std::string QuotedPath(const std::string& path);

// Starts `commandLine` shown normally, without waiting; false when it could
// not be started. With `program` given, that file is started and the
// command line is only handed to it.
bool StartProgram(const std::string& commandLine, const std::string& program = "");

// Waits until `process` has ended, dispatching this thread's messages in
// the meantime so that the windows of the program stay responsive. The
// wait sleeps until the process ends or a message arrives. A quit message
// seen on the way is posted again once the process has ended.
void WaitForProcess(HANDLE process);

}  // namespace fw
