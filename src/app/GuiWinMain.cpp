// Entry of the desktop program.
#include <windows.h>

#include "app/GuiMainWindow.h"
#include "ui/CApp.h"
#include "ui/Win32Notice.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    Win32Notice notice;
    setUserNotice(&notice);
    const int code = App.entry(instance, show, createMainWindow);
    App.mainWindow.reset();
    setUserNotice(nullptr);
    return code;
}
