#include "records/ProductIni.h"

#include "app/InstallState.h"

void DetectPreviousInstall(InstallState& state)
{
}

void WriteProductIni(InstallState& state)
{
}
