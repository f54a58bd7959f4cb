// The unit-test program: GoogleTest under Wine. It carries the installer's
// resources, so string and dialog resources load as they do in INSTALL.EXE.
#include <gtest/gtest.h>
#include <windows.h>

int main(int argc, char** argv)
{
    // A failing test must never wait for somebody to close an error box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
