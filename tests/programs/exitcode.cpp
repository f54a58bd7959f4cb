// A program for the post-install tests: EXITCODE.EXE CODE [EVENT] ends with
// exit code CODE, after the named event EVENT has been set when one is
// given (so a test decides when it ends). It gives up on the event after a
// minute, so a failing test never leaves it behind.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char* next = nullptr;
    unsigned long code = std::strtoul(commandLine, &next, 10);
    while (next && *next == ' ') ++next;
    if (next && *next) {
        if (HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, next)) {
            WaitForSingleObject(event, 60000);
            CloseHandle(event);
        }
    }
    return (int)code;
}
