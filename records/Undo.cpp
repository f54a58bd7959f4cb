#include "records/Undo.h"

#include "app/InstallState.h"

void UndoFromLog(InstallState& state, const std::string& logPath)
{
}
