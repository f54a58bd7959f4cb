// The first page: the product picture, what the product brings and the
// disk space it needs. Next and Exit only; Back is shown greyed.
#pragma once
#include "pages/base/WizardPage.h"
#include "progress/CvButton.h"

class WelcomePage : public WizardPage {
public:
    explicit WelcomePage(InstallState& state, HWND backdrop = nullptr);

    CvButton picture;

protected:
    bool OnInitDialog() override;
};
