#include "progress/BillboardDialog.h"

BillboardDialog::BillboardDialog(const RECT& host, UINT id, int picture, InstallState& state, HWND backdrop)
    : WizardPage(id, state, backdrop), templateId(id), pictureId(picture), hostRect(host)
{
}

BillboardDialog::~BillboardDialog()
{
    Destroy();
}

bool BillboardDialog::Create()
{
    return fw::Dialog::Create(templateId, backdrop_);
}

void BillboardDialog::Destroy()
{
    if (Handle()) DestroyWindow(Handle());
}

bool BillboardDialog::OnCreate()
{
    // Centred in the screen area above the progress window.
    CentreOnScreen(hostRect.bottom - hostRect.top + 20);
    return true;
}

bool BillboardDialog::OnInitDialog()
{
    WizardPage::OnInitDialog();
    picture.LoadBitmaps(pictureId, *this, pictureId, 0, 0, 0, 0);
    picture.SizeToContent();
    return true;
}
