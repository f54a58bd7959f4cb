#include "progress/BillboardDialog.h"

#include "app/MainWindow.h"

BillboardDialog::BillboardDialog(const RECT& host, UINT id, int picture, MainWindow& owner)
    : WizardPage(id, owner), templateId(id), pictureId(picture), hostRect(host)
{
}

BillboardDialog::~BillboardDialog()
{
    Destroy();
}

bool BillboardDialog::Create()
{
    return fw::Dialog::Create(templateId, main_.Handle());
}

void BillboardDialog::Destroy()
{
    if (Handle()) DestroyWindow(Handle());
}

bool BillboardDialog::OnCreate()
{
    // Centred in the screen area above the progress window.
    RECT r = WindowRect();
    int width = r.right - r.left, height = r.bottom - r.top;
    int hostHeight = hostRect.bottom - hostRect.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - hostHeight - height - 20) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool BillboardDialog::OnInitDialog()
{
    WizardPage::OnInitDialog();
    picture.LoadBitmaps(pictureId, *this, pictureId, 0, 0, 0, 0);
    picture.SizeToContent();
    return true;
}
