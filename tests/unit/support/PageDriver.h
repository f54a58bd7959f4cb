// Runs a page modally, as the wizard runs it, and works it from inside its
// own message loop once it is open, the way a person would: the script
// runs first; a page it leaves open then ends with kPageStillOpen, and a
// page that never closes ends with kPageHanging instead of hanging the run.
#pragma once
#include <windows.h>

#include <concepts>
#include <functional>
#include <string>
#include <utility>

constexpr int kPageStillOpen = -5;
constexpr int kPageHanging = -99;

template <class Page>
class DrivenPage : public Page {
public:
    using Script = std::function<void(DrivenPage&)>;

    template <class... A>
        requires std::constructible_from<Page, A...>
    explicit DrivenPage(A&&... a) : Page(std::forward<A>(a)...)
    {
    }
    template <class... A>
    explicit DrivenPage(Script s, A&&... a) : Page(std::forward<A>(a)...), script(std::move(s))
    {
    }

    Script script;

    // Posts a message through the page's loop, as typing or clicking would
    // (control 0: the page itself).
    void Post(int controlId, UINT msg, WPARAM wParam, LPARAM lParam = 0)
    {
        PostMessageA(controlId ? this->Item(controlId) : this->Handle(), msg, wParam, lParam);
    }
    void Command(int id, int code = BN_CLICKED)
    {
        SendMessageA(this->Handle(), WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)this->Item(id));
    }
    bool Open() const { return IsWindowVisible(this->Handle()); }
    HWND ItemOf(int id) const { return this->Item(id); }
    std::string TextOf(int id) const { return this->ItemText(id); }

protected:
    static constexpr UINT kRunScript = WM_APP + 1;
    static constexpr UINT_PTR kHangTimer = 0x7E57;

    bool OnInitDialog() override
    {
        bool result = Page::OnInitDialog();
        SetTimer(this->Handle(), kHangTimer, 15000, nullptr);
        PostMessageA(this->Handle(), kRunScript, 0, 0);
        return result;
    }
    void OnTimer(UINT_PTR id) override
    {
        if (id == kHangTimer) this->EndDialog(kPageHanging);
        else Page::OnTimer(id);
    }
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg != kRunScript) return Page::DialogProc(msg, wParam, lParam);
        // The script first; then, after what it posted, the end.
        if (wParam == 0) {
            if (script) script(*this);
            PostMessageA(this->Handle(), kRunScript, 1, 0);
        } else if (Open()) {
            this->EndDialog(kPageStillOpen);
        }
        return TRUE;
    }
};
