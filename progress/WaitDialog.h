// "Please wait...": a small modeless box with a message, shown while the
// installer works on something that takes a moment and runs no message
// loop of its own (the program group, the product's records).
#pragma once
#include <string>

#include "fw/Dialog.h"

class WaitDialog : public fw::Dialog {
public:
    // The box belongs to `owner` (the main window).
    explicit WaitDialog(HWND owner);
    ~WaitDialog() override;

    // The text to show; set it before Create.
    void SetMessage(const std::string& text) { message = text; }
    // Creates the box from template 10002 and paints it at once, since
    // nothing dispatches messages while it is up. False when it could not
    // be made (the work goes on without it).
    bool Create();
    void Destroy();

    std::string message;

protected:
    bool OnCreate() override;
    bool OnInitDialog() override;
};
