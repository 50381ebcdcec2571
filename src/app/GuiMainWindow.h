#pragma once
// The desktop program's main frame and its start-up.
#include <memory>

#include "ui/CWnd.h"
#include "ui/WinHandle.h"

inline constexpr const char* InstanceMutexName = "consort 32 bit";

class CVXWnd : public CMDIFrameWnd {
public:
    explicit CVXWnd(KernelHandle instanceMutex);
    // Saves the settings and lets the next copy start.
    ~CVXWnd() override;
    bool command(int code, int id, HWND control) override;
    void menuOpening(HMENU menu) override;

private:
    KernelHandle instanceMutex_;  // released after the settings are written
};

// Reads the settings of the current directory and makes the main window;
// null when another copy runs (that copy is brought to the top).
std::unique_ptr<CWnd> createMainWindow();

// The About box over the "Special" settings.
void showAbout();
