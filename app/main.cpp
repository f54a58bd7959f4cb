#include "app/InstallerApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    InstallerApp app;
    return app.Run(instance, commandLine, showCommand);
}
