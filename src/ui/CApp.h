#pragma once
// The process-wide application object: registers the one window class,
// builds and shows the main window, and runs the message loop.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

class CWnd;

class CApp {
public:
    // Builds the main window; null when the program must not run.
    using MainWindowBuilder = std::unique_ptr<CWnd> (*)();

    CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;
    ~CApp();

    // The whole entry sequence: 0 when the main window could not be made,
    // else the quit message's code.
    int entry(HINSTANCE inst, int show, MainWindowBuilder build);
    bool registerWindowClass(HINSTANCE inst);
    bool initialise(HINSTANCE inst, int show, MainWindowBuilder build);
    int messageLoop();
    // Deletes the main window, which ends the message loop.
    void close();
    HWND mainHandle() const;
    // The main frame's status bar line (nothing without a frame).
    void setStatus(const std::string& text) const;

    int screenWidth = 0;
    int screenHeight = 0;
    HINSTANCE instance = nullptr;
    HWND mdiClient = nullptr;
    HACCEL accelerators = nullptr;
    std::unique_ptr<CWnd> mainWindow;
    std::uint32_t flags = 0;
};

inline constexpr const char* WindowClassName = "Window";
inline constexpr const char* AcceleratorTableName = "MENU_MAIN";

extern CApp App;
