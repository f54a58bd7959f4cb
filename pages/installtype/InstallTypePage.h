// Express or Custom: two picture buttons, their letter keys (string 2016)
// and Enter on the focused picture. The whole result is the end code.
#pragma once
#include "pages/base/WizardPage.h"
#include "progress/CvButton.h"

class InstallTypePage : public WizardPage {
public:
    explicit InstallTypePage(InstallState& state, HWND backdrop = nullptr);

    CvButton logo;
    CvButton express;
    CvButton custom;

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;

private:
    // Acts on a released letter key: the first letter of string 2016 is
    // Express, the second Custom; anything else does nothing.
    void ActOnLetter(WPARAM virtualKey);
};
