#include "app/GuiMainWindow.h"

#include "ResourceIds.h"
#include "app/AppSettings.h"
#include "app/ChartWindow.h"
#include "app/GuiExportCommand.h"
#include "app/Settings.h"
#include "app/Win32ProfileStore.h"
#include "ui/CApp.h"
#include "ui/CDialog.h"
#include "ui/Help.h"

namespace {

// "&Window": the frame lists the open charts at its end.
constexpr int WindowMenuPosition = 3;
constexpr std::int32_t DiskRecorderMode = 1160;
constexpr UINT DoubleClickTime = 500;
constexpr const char* VersionText = "Version " HX_VERSION " (32 bit)";

Win32ProfileStore profileStore;

}  // namespace

CVXWnd::CVXWnd(KernelHandle instanceMutex)
    : CMDIFrameWnd(0, 0, App.screenWidth, App.screenHeight, WindowMenuPosition),
      instanceMutex_(std::move(instanceMutex)) {
    if (!hwnd_) return;
    SetWindowTextA(hwnd_, AppSettings.title);
    setIcon(IDI_MAIN, true);
    ShowWindow(hwnd_, SW_SHOW);
}

CVXWnd::~CVXWnd() {
    deleteChildren();
    saveSettings(profileStore);
}

bool CVXWnd::command(int code, int id, HWND control) {
    switch (id) {
    case CMD_EXPORT:
        runExportCommand();
        return false;
    case CMD_VIEW:
        runViewCommand(*this);
        return false;
    case CMD_EXIT:
        App.close();  // deletes this window: nothing may touch it afterwards
        return false;
    case CMD_ABOUT:
        showAbout();
        return false;
    case CMD_HELP_CONTENTS:
    case CMD_HELP_KEY:
        showHelp(hwnd_, 1);
        return false;
    default:
        return CMDIFrameWnd::command(code, id, control);
    }
}

void CVXWnd::menuOpening(HMENU menu) {
    EnableMenuItem(menu, CMD_EXPORT, MF_BYCOMMAND | MF_ENABLED);
    EnableMenuItem(menu, CMD_VIEW, MF_BYCOMMAND | MF_ENABLED);
}

std::unique_ptr<CWnd> createMainWindow() {
    char directory[PathLimit] = {};
    const DWORD n = GetCurrentDirectoryA(sizeof directory, directory);
    derivePaths(n > 0 && n < sizeof directory ? directory : "");
    loadSettings(profileStore);

    HANDLE mutex = CreateMutexA(nullptr, TRUE, InstanceMutexName);
    const DWORD error = GetLastError();
    KernelHandle owned(mutex);
    if (error == ERROR_ALREADY_EXISTS) {
        if (HWND first = FindWindowExA(nullptr, nullptr, nullptr, AppSettings.title)) BringWindowToTop(first);
        return nullptr;
    }
    auto window = std::make_unique<CVXWnd>(std::move(owned));
    AppSettings.recorderMode = DiskRecorderMode;
    SetDoubleClickTime(DoubleClickTime);
    return window;
}

void showAbout() {
    CDialog about(IDD_ABOUT);
    HWND h = about.handle();
    if (!h) return;
    const std::pair<int, const char*> lines[] = {
        {IDC_ABOUT_TITLE, AppSettings.title},     {IDC_ABOUT_VERSION, VersionText},
        {IDC_ABOUT_COMPANY, AppSettings.company}, {IDC_ABOUT_ADDR1, AppSettings.address1},
        {IDC_ABOUT_ADDR2, AppSettings.address2},  {IDC_ABOUT_PHONE, AppSettings.phone},
        {IDC_ABOUT_FAX, AppSettings.fax},         {IDC_ABOUT_WEB, AppSettings.webSite},
    };
    for (const auto& [id, text] : lines) SetDlgItemTextA(h, id, text);
    about.runModal();
}
