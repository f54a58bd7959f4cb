// The licence agreement: LICENSE.TXT from the source directory in a
// read-only scrolling box, Accept or Do Not Accept.
#pragma once
#include <string>

#include "pages/base/WizardPage.h"
#include "progress/CvButton.h"

class LicensePage : public WizardPage {
public:
    // The largest licence file the page shows.
    static constexpr DWORD kMaxLength = 0xFFFF;

    explicit LicensePage(InstallState& state, HWND backdrop = nullptr);

    // Reads the file at `path` into agreementText; on failure beeps, says
    // why (11117, 11116 or 11118) and leaves the text empty.
    void LoadAgreement(const std::string& path);

    std::string agreementText;
    CvButton logo;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;

private:
    // Shows the first line of the text with nothing selected.
    void ScrollTextToTop();
};
