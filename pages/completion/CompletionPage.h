// The last page, shown when the install has completed and the product's
// setup tool was not started in its place: Read Me opens the product's
// notes, Ramhold Setup starts the setup tool, Finish leaves. Every way out
// ends the page with 2.
#pragma once
#include <string>

#include "pages/base/WizardPage.h"
#include "progress/CvButton.h"

class CompletionPage : public WizardPage {
public:
    explicit CompletionPage(InstallState& state, HWND backdrop = nullptr);

    CvButton picture;
    // Where the setup tool is looked for: targetDir1 when the page opens.
    std::string setupDir;

    // The notes of the product in `productDir`: README.TXT when it is there,
    // else READ.ME, the file the install itself places.
    static std::string ReadMeFile(const std::string& productDir);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;

private:
    void OpenReadMe();
    void StartRamholdSetup();
};

// The product's setup tool in `directory`: whether it is there, and its
// start with `arguments` (" /I", " /I /X") without waiting.
bool SetupToolExists(const std::string& directory);
bool StartSetupTool(const std::string& directory, const std::string& arguments);
