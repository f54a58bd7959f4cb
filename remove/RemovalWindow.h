// The uninstaller's faces: a small progress window with the questions the
// removal asks, and, for /S, one that shows nothing and answers every
// question with what changes least (or as the options say).
#pragma once
#include <string>

#include "fw/Dialog.h"
#include "progress/ProgressBar.h"
#include "records/Removal.h"

class RemovalWindow : public fw::Dialog, public RemovalView {
public:
    explicit RemovalWindow(std::string caption);
    ~RemovalWindow() override;

    bool Create();

    void Progress(int percent, const std::string& what) override;
    bool KeepChangedFile(const std::string& path) override;
    bool RemoveSharedFile(const std::string& path) override;
    bool RestoreMovedFile(const std::string& ownPath) override;

protected:
    bool OnInitDialog() override;
    // The window never closes by itself: the removal runs to its end.
    void OnCancel() override {}
    void OnOK() override {}

private:
    int Ask(UINT messageId, const std::string& argument, UINT defaultButton);

    std::string caption_;
    ProgressBar bar_;
};

// /S: no window; changed files kept, shared files kept, moved files put back.
class SilentRemoval : public RemovalView {
public:
    void Progress(int, const std::string&) override {}
    bool KeepChangedFile(const std::string&) override { return true; }
    bool RemoveSharedFile(const std::string&) override { return false; }
    bool RestoreMovedFile(const std::string&) override { return true; }
};
