// One billboard: a picture-and-text panel (templates 1021 ... 1024, picture
// button and bitmap 1231 ... 1234) shown above the progress window while the
// install script runs. Modeless, disabled: it never takes input.
#pragma once
#include <windows.h>

#include "pages/base/WizardPage.h"
#include "progress/CvButton.h"

class BillboardDialog : public WizardPage {
public:
    // `hostRect`: the progress window's rectangle as its template made it.
    BillboardDialog(const RECT& hostRect, UINT templateId, int pictureId, InstallState& state, HWND backdrop);
    // Destroys the window when it is still there.
    ~BillboardDialog() override;

    // Creates the modeless window; false when that failed.
    bool Create();
    void Destroy();

    UINT templateId;
    int pictureId;
    CvButton picture;
    RECT hostRect;

protected:
    bool OnCreate() override;
    bool OnInitDialog() override;
};
