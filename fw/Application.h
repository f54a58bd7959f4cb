// The application object: one per process. WinMain hands control to Run,
// which calls InitInstance and then pumps messages until the quit message.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

class Window;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Current();

    // The whole life of the program; returns the process exit code.
    int Run(HINSTANCE instance, const char* commandLine, int showCommand);

    HINSTANCE Instance() const { return instance_; }
    // The command line after the program name, as WinMain receives it.
    const std::string& CommandLine() const { return commandLine_; }
    int ShowCommand() const { return showCommand_; }

    Window* GetMainWindow() const { return mainWindow_; }
    void SetMainWindow(Window* window) { mainWindow_ = window; }

    // Background and text colour of every dialog and message box of the
    // program, from now on.
    void SetDialogColors(COLORREF background, COLORREF text);

    const std::string& HelpFile() const { return helpFile_; }
    void SetHelpFile(const std::string& file) { helpFile_ = file; }

protected:
    // Returns false to end the program at once.
    virtual bool InitInstance() = 0;
    virtual int ExitInstance() { return exitCode_; }

    int exitCode_ = 0;

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ColoredDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_ = nullptr;
    std::string commandLine_;
    int showCommand_ = SW_SHOWDEFAULT;
    Window* mainWindow_ = nullptr;
    std::string helpFile_;
    HBRUSH dialogBrush_ = nullptr;
    COLORREF dialogText_ = 0;
    HHOOK cbtHook_ = nullptr;
};

}  // namespace fw
