// The diskette prompt (template 10007): names the diskette the install
// needs by its label and lets the user correct where the media are.
#pragma once
#include <windows.h>

#include <string>

#include "fw/Dialog.h"
#include "resources/resource.h"

class DiskPromptDialog : public fw::Dialog {
public:
    static constexpr int kContinue = kPageNext;
    static constexpr int kExit = kPageExit;

    // `owner` null: no owner window. `location` starts as the source
    // directory.
    DiskPromptDialog(HWND owner, const std::string& location);

    void SetDiskLabel(const std::string& text) { diskLabel = text; }
    void SetHostRect(int left, int top, int right, int bottom) { hostRect = {left, top, right, bottom}; }

    // kContinue when the user chose Continue (`location` then holds the
    // typed location without one trailing backslash), kExit for Exit,
    // Escape or closing.
    int Run();

    std::string location;
    std::string diskLabel;
    // The progress window's rectangle; empty when there is none.
    RECT hostRect{};

protected:
    bool OnCreate() override;
    bool OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;
};
