// "Please wait..." (template 10002): a modeless note with a message, shown
// while the install works after the script.
#pragma once
#include <string>

#include "fw/Dialog.h"

class WaitDialog : public fw::Dialog {
public:
    explicit WaitDialog(HWND owner = nullptr);
    ~WaitDialog() override;

    // Before Create.
    void SetMessage(const std::string& text) { message = text; }
    bool Create();
    void Destroy();

    std::string message;

protected:
    bool OnCreate() override;
    bool OnInitDialog() override;
};
