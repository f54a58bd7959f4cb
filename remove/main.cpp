#include "remove/RemoveApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    RemoveApp app;
    return app.Run(instance, commandLine, showCommand);
}
