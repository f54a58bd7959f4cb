// Dialogs from templates, modal (DoModal returns the end code) or modeless
// (Create). Messages reach the virtual DialogProc; the common ones are
// dispatched to virtual handlers. Owner drawing is passed on to the control
// object that subclasses the control (see Window::DrawItem).
#pragma once
#include "fw/Window.h"

namespace fw {

class DataExchange;

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId = 0, HWND parent = nullptr)
        : templateId_(templateId), parent_(parent) {}

    UINT TemplateId() const { return templateId_; }

    // Runs the dialog modally; returns its end code, or -1 when the template
    // could not be loaded.
    INT_PTR DoModal();
    // Creates the dialog modeless from `templateId` (0: the one given at
    // construction) with `parent` as owner; false when that failed.
    bool Create(UINT templateId = 0, HWND parent = nullptr);
    bool IsModal() const { return modal_; }

    // Modal: ends the loop with `code`. Modeless: destroys the window.
    void EndDialog(int code);

    // Moves data between members and controls through DoDataExchange:
    // save = true reads the controls.
    void UpdateData(bool save);

    // One-line helpers for the dialog's controls, by control ID.
    void EnableItem(int controlId, bool enable = true) const { EnableWindow(Item(controlId), enable); }
    void ShowItem(int controlId, bool show = true) const
    {
        ShowWindow(Item(controlId), show ? SW_SHOW : SW_HIDE);
    }
    void HideItem(int controlId) const { ShowItem(controlId, false); }
    void SetItemText(int controlId, const std::string& text) const
    {
        SetDlgItemTextA(Handle(), controlId, text.c_str());
    }
    std::string ItemText(int controlId) const { return WindowText(Item(controlId)); }
    void CheckButton(int controlId, bool check) const
    {
        CheckDlgButton(Handle(), controlId, check ? BST_CHECKED : BST_UNCHECKED);
    }
    bool IsButtonChecked(int controlId) const
    {
        return IsDlgButtonChecked(Handle(), controlId) == BST_CHECKED;
    }
    // Moves the focus the way the dialog manager does (default button
    // included).
    void FocusItem(int controlId) const
    {
        SendMessageA(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(controlId)), TRUE);
    }

protected:
    virtual INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Called before OnInitDialog, once the window exists (the dialog's
    // "window creation"). Return false to end a modal dialog with -1.
    virtual bool OnCreate() { return true; }
    // Default: UpdateData(false); true lets the system set the focus.
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx) {}
    // Default: UpdateData(true), then EndDialog(IDOK).
    virtual void OnOK();
    // Default: EndDialog(IDCANCEL).
    virtual void OnCancel();
    // Commands other than IDOK and IDCANCEL. Return true when handled.
    virtual bool OnCommand(int id, int notifyCode, HWND control) { return false; }
    // F1 (WM_HELP) and the help command.
    virtual void OnHelp() {}
    virtual void OnTimer(UINT_PTR id) {}
    virtual void OnDestroy() {}

    // Sets the result of the message being handled (for messages whose
    // result is not the dialog procedure's return value).
    INT_PTR SetResult(LRESULT result);

    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND parent_;
    bool modal_ = false;
};

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool save) : dialog_(dialog), saving(save) {}
    void Text(int controlId, std::string& value);
    void Check(int controlId, int& value);
    // Keeps a control's text within `maxLength` characters.
    void MaxChars(int controlId, int maxLength);

    Dialog& dialog_;
    const bool saving;
};

}  // namespace fw
