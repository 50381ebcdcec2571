#include "ui/CApp.h"

#include "ui/CWnd.h"

CApp App;

CApp::CApp() {
    if (HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr)) {
        screenWidth = GetDeviceCaps(ic, HORZRES);
        screenHeight = GetDeviceCaps(ic, VERTRES);
        DeleteDC(ic);
    }
}

CApp::~CApp() = default;

int CApp::entry(HINSTANCE inst, int show, MainWindowBuilder build) {
    registerWindowClass(inst);
    if (!initialise(inst, show, build)) return 0;
    return messageLoop();
}

bool CApp::registerWindowClass(HINSTANCE inst) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = CWnd::windowProcedure;
    wc.hInstance = inst;
    wc.lpszMenuName = MAKEINTRESOURCEA(1);
    wc.lpszClassName = WindowClassName;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CApp::initialise(HINSTANCE inst, int show, MainWindowBuilder build) {
    instance = inst;
    mainWindow = build ? build() : nullptr;
    if (!mainWindow || !mainWindow->handle()) {
        mainWindow.reset();
        return false;
    }
    HWND main = mainWindow->handle();
    ShowWindow(main, show);
    UpdateWindow(main);
    accelerators = LoadAcceleratorsA(inst, AcceleratorTableName);
    return true;
}

int CApp::messageLoop() {
    MSG msg{};
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        // The main window may be gone by now (Exit deletes it mid-loop).
        const bool frame = mainWindow && (mainWindow->flags() & WindowFlags::MdiFrame);
        if (frame && mdiClient && TranslateMDISysAccel(mdiClient, &msg)) continue;
        HWND main = mainHandle();
        if (accelerators && main && TranslateAcceleratorA(main, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 0;
}

void CApp::close() { mainWindow.reset(); }

HWND CApp::mainHandle() const { return mainWindow ? mainWindow->handle() : nullptr; }

void CApp::setStatus(const std::string& text) const {
    if (auto* frame = dynamic_cast<CMDIFrameWnd*>(mainWindow.get())) frame->setStatusText(text);
}
