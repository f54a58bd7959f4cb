// Takes back an install that did not complete, from its install log and
// from what the run remembers (the InstallState's runMemory).
#pragma once
#include <string>

struct InstallState;

void UndoFromLog(InstallState& state, const std::string& logPath);
