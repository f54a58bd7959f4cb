#include "fw/Dialog.h"

#include "fw/ResString.h"

namespace fw {

INT_PTR Dialog::DoModal()
{
    modal_ = true;
    INT_PTR result = DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(templateId_), parent_,
                                     &Dialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return result;
}

bool Dialog::Create(UINT templateId, HWND parent)
{
    if (templateId) templateId_ = templateId;
    if (parent) parent_ = parent;
    modal_ = false;
    HWND hwnd = CreateDialogParamA(ResourceInstance(), MAKEINTRESOURCEA(templateId_), parent_,
                                   &Dialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

void Dialog::EndDialog(int code)
{
    if (!hwnd_) return;
    if (modal_) ::EndDialog(hwnd_, code);
    else DestroyWindow(hwnd_);
}

void Dialog::UpdateData(bool save)
{
    DataExchange dx(*this, save);
    DoDataExchange(dx);
}

bool Dialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void Dialog::OnOK()
{
    UpdateData(true);
    EndDialog(IDOK);
}

void Dialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR Dialog::SetResult(LRESULT result)
{
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR Dialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (!OnCreate()) {
            EndDialog(-1);
            return FALSE;
        }
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        if (OnCommand(id, code, control)) return TRUE;
        if (id == IDOK && (code == BN_CLICKED || control == nullptr)) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && (code == BN_CLICKED || control == nullptr)) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        Window* control = item ? Window::FromHandle(item->hwndItem) : nullptr;
        if (control && control != this && control->DrawItem(*item)) return TRUE;
        return FALSE;
    }
    case WM_HELP:
        OnHelp();
        return TRUE;
    case WM_TIMER:
        OnTimer(wParam);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Dialog* self = static_cast<Dialog*>(FromHandle(hwnd));
    if (!self && msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        if (self) self->Bind(hwnd);
    }
    if (!self) return FALSE;
    INT_PTR result = self->DialogProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->Unbind();
        self->PostNcDestroy();
    }
    return result;
}

void DataExchange::Text(int controlId, std::string& value)
{
    HWND control = dialog_.Item(controlId);
    if (!control) return;
    if (saving) value = WindowText(control);
    else SetWindowTextA(control, value.c_str());
}

void DataExchange::Check(int controlId, int& value)
{
    HWND control = dialog_.Item(controlId);
    if (!control) return;
    if (saving) value = (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) ? 1 : 0;
    else SendMessageA(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DataExchange::MaxChars(int controlId, int maxLength)
{
    HWND control = dialog_.Item(controlId);
    if (control && !saving) SendMessageA(control, EM_LIMITTEXT, maxLength, 0);
}

}  // namespace fw
