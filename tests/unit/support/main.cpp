// The unit-test program: GoogleTest under Wine. It carries the installer's
// resources, so string and dialog resources load as they do in INSTALL.EXE.
#include <gtest/gtest.h>
#include <windows.h>

#include "script/KeptFiles.h"
#include "state/RunMemory.h"

namespace {

// A test that let an engine write over files without ending the run
// leaves that run's keep folder: it goes after the test, so that no later
// test (nor an installer started in the same prefix) takes it for an
// interrupted run's.
class KeepFolderSweeper : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override
    {
        for (const char* root : {"C:", "Z:"}) {
            for (const std::string& folder : KeepFoldersOn(root)) {
                RunMemory memory;
                memory.keepFolders.push_back(folder);
                DropKeptFiles(memory);
            }
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    // A failing test must never wait for somebody to close an error box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new KeepFolderSweeper);
    return RUN_ALL_TESTS();
}
