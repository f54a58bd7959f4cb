// The first page: the product picture, what the product brings and the
// disk space it needs. Next and Exit only; Back is shown greyed.
#pragma once
#include "pages/base/WizardPage.h"
#include "progress/CvButton.h"

class WelcomePage : public WizardPage {
public:
    explicit WelcomePage(MainWindow& main);

    CvButton picture;

protected:
    bool OnInitDialog() override;
    void OnCancel() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;
};
