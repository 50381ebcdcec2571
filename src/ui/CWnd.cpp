#include "ui/CWnd.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>
#include <utility>
#include <vector>

#include "notice/UserNotice.h"
#include "ui/CApp.h"

namespace {

TickSource tickSource = GetTickCount;
bool havePress = false;
DWORD lastPress = 0;

struct ScreenDpi {
    int x = 96;
    int y = 96;
};

const ScreenDpi& screenDpi() {
    static const ScreenDpi dpi = [] {
        ScreenDpi d;
        if (HDC dc = GetDC(nullptr)) {
            d.x = GetDeviceCaps(dc, LOGPIXELSX);
            d.y = GetDeviceCaps(dc, LOGPIXELSY);
            ReleaseDC(nullptr, dc);
        }
        if (d.x <= 0) d.x = 96;
        if (d.y <= 0) d.y = 96;
        return d;
    }();
    return dpi;
}

// Where a message goes when the object does not take it. Read before the
// object runs a handler, because a handler may delete the object.
struct Forward {
    HWND hwnd;
    std::uint32_t flags;

    LRESULT operator()(UINT msg, WPARAM wp, LPARAM lp) const {
        if (flags & WindowFlags::MdiFrame) return DefFrameProcA(hwnd, App.mdiClient, msg, wp, lp);
        if (flags & WindowFlags::MdiChild) return DefMDIChildProcA(hwnd, msg, wp, lp);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
};

}  // namespace

TickSource setTickSource(TickSource source) { return std::exchange(tickSource, source ? source : GetTickCount); }

DWORD markButtonDown(DWORD keys) {
    const DWORD now = tickSource();
    if (havePress && now - lastPress < DoubleClickMs) keys |= DoubleClickBit;
    havePress = true;
    lastPress = now;
    return keys;
}

void forgetButtonDowns() { havePress = false; }

int toLogicalX(int pixels) { return MulDiv(pixels, 100, screenDpi().x); }
int toLogicalY(int pixels) { return MulDiv(pixels, 100, screenDpi().y); }

void setLogicalMapping(HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 100, 100, nullptr);
    SetViewportExtEx(dc, GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), nullptr);
}

CWnd::CWnd(CParentWnd* parent, int x, int y, int cx, int cy, DWORD style, std::uint32_t flags)
    : brush_(parent ? parent->brush_ : nullptr), flags_(flags), parent_(parent), x_(x), y_(y), cx_(cx), cy_(cy) {
    if (parent) style |= WS_CHILD;
    if (!(flags & WindowFlags::DeferCreate)) attach(nullptr, style);
}

CWnd::~CWnd() {
    if (parent_) {
        parent_->children.remove(this);
        parent_ = nullptr;
    }
    if (hwnd_) {
        // The destroy notification that follows finds no object.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        flags_ |= WindowFlags::Destroying;
        DestroyWindow(std::exchange(hwnd_, nullptr));
    }
}

void CWnd::attach(HWND existing, DWORD style, const char* title) {
    if (!hwnd_) {
        HWND owner = nullptr;
        INT_PTR childId = 0;
        if (parent_) {
            parent_->children.append(this);
            childId = parent_->childCount++;
            owner = parent_->handle();
        }
        hwnd_ = existing ? existing
                         : CreateWindowExA(0, WindowClassName, title, style, x_, y_, cx_, cy_, owner,
                                           parent_ ? reinterpret_cast<HMENU>(childId) : nullptr, App.instance, nullptr);
    }
    if (!hwnd_) return;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    readClientSize();
    if (HDC dc = GetDC(hwnd_)) {
        setLogicalMapping(dc);
        sizeChanged(dc);
        ReleaseDC(hwnd_, dc);
    }
}

void CWnd::readClientSize() {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    cx_ = toLogicalX(rc.right - rc.left);
    cy_ = toLogicalY(rc.bottom - rc.top);
}

void CWnd::setIcon(int iconId, bool large) {
    HICON icon = LoadIconA(App.instance, MAKEINTRESOURCEA(iconId));
    if (icon && hwnd_)
        SendMessageA(hwnd_, WM_SETICON, large ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

CWnd* CWnd::fromHandle(HWND hwnd) {
    return hwnd ? reinterpret_cast<CWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)) : nullptr;
}

LRESULT CALLBACK CWnd::windowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* wnd = fromHandle(hwnd);
    // An MDI child's messages before its object is tied to it still need
    // the MDI default, or the client loses track of it.
    if (!wnd && (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_MDICHILD)) return DefMDIChildProcA(hwnd, msg, wp, lp);
    if (!wnd) return DefWindowProcA(hwnd, msg, wp, lp);
    // No exception may unwind through the platform's code.
    try {
        return wnd->route(msg, wp, lp);
    } catch (...) {
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

LRESULT CWnd::passOn(UINT msg, WPARAM wp, LPARAM lp) const { return Forward{hwnd_, flags_}(msg, wp, lp); }

void CWnd::disposeAfterDestroy() {
    if (CParentWnd* p = parent_) {
        p->children.remove(this);
        parent_ = nullptr;
        std::unique_ptr<CWnd> owned(this);  // the parent's list was the owner
        return;
    }
    // A top-level window other than the main one belongs to whoever made
    // it; it only loses its platform window.
    if (App.mainWindow.get() == this) App.mainWindow.reset();
}

LRESULT CWnd::route(UINT msg, WPARAM wp, LPARAM lp) {
    const Forward forward{hwnd_, flags_};
    switch (msg) {
    case WM_ACTIVATE:
        activated(LOWORD(wp) != WA_INACTIVE);
        return forward(msg, wp, lp);
    case WM_NCACTIVATE:
        activated(wp != 0);
        return forward(msg, wp, lp);
    case WM_MDIACTIVATE:
        if (lp && reinterpret_cast<HWND>(lp) == hwnd_) activated(true);
        return forward(msg, wp, lp);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        focus(msg == WM_SETFOCUS);
        return forward(msg, wp, lp);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        if (dc) {
            setLogicalMapping(dc);
            POINT corners[2] = {{ps.rcPaint.left, ps.rcPaint.top}, {ps.rcPaint.right, ps.rcPaint.bottom}};
            DPtoLP(dc, corners, 2);
            paint(dc, corners[0].x, corners[0].y, corners[1].x, corners[1].y, ps.fErase != FALSE);
        }
        EndPaint(forward.hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        if (!(flags_ & WindowFlags::NoErase)) {
            RECT rc{};
            GetClientRect(hwnd_, &rc);
            FillRect(reinterpret_cast<HDC>(wp), &rc, brush_ ? brush_ : reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        }
        return 1;
    }
    case WM_SETCURSOR: {
        const bool plainChild = parent_ && !(flags_ & WindowFlags::MdiChild);
        if (isBusy()) {
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
            return TRUE;
        }
        // Borders keep the platform's sizing cursors.
        if (plainChild || LOWORD(lp) == HTCLIENT) {
            SetCursor(cursor_ ? cursor_ : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
            return TRUE;
        }
        return forward(msg, wp, lp);
    }
    case WM_COMMAND:
        if (command(HIWORD(wp), LOWORD(wp), reinterpret_cast<HWND>(lp))) return forward(msg, wp, lp);
        return 0;
    default:
        if (handleMessage(msg, wp, lp)) return forward(msg, wp, lp);
        return 0;
    }
}

void CWnd::placeInParent(HDC, RECT&) {}

bool CWnd::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_DESTROY:
        if (!(flags_ & WindowFlags::Destroying)) {
            SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            disposeAfterDestroy();
        }
        return false;
    case WM_MOVE:
        x_ = GET_X_LPARAM(lp);
        y_ = GET_Y_LPARAM(lp);
        return true;
    case WM_SIZE:
        cx_ = toLogicalX(LOWORD(lp));
        cy_ = toLogicalY(HIWORD(lp));
        if (HDC dc = GetDC(hwnd_)) {
            setLogicalMapping(dc);
            sizeChanged(dc);
            ReleaseDC(hwnd_, dc);
        }
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        keyDown(static_cast<int>(wp));
        return true;
    case WM_CHAR:
        character(static_cast<int>(wp));
        return true;
    case WM_INITMENU:
        menuOpening(reinterpret_cast<HMENU>(wp));
        return false;
    case WM_MOUSEMOVE:
        mouseMove(static_cast<DWORD>(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        buttonDown(markButtonDown(static_cast<DWORD>(wp)), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        buttonUp(static_cast<DWORD>(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return true;
    default:
        return true;
    }
}

void CWnd::paintIfVisible(HDC dc, int left, int top, int right, int bottom) {
    if (hwnd_ && IsWindowVisible(hwnd_)) paint(dc, left, top, right, bottom, false);
}

void CWnd::nextPage(HDC, int&) {}
int CWnd::keyDown(int) { return 0; }
int CWnd::character(int) { return 0; }
void CWnd::scrolled(int, int) {}
int CWnd::sizeChanged(HDC) { return 1; }
bool CWnd::command(int, int, HWND) { return true; }
void CWnd::paint(HDC, int, int, int, int, bool) {}
void CWnd::activated(bool) {}
void CWnd::focus(bool) {}
void CWnd::menuOpening(HMENU) {}
void CWnd::buttonUp(DWORD, int, int) {}
void CWnd::buttonDown(DWORD, int, int) {}
void CWnd::mouseMove(DWORD, int, int) {}

CParentWnd::~CParentWnd() { deleteChildren(); }

void CParentWnd::deleteChildren() {
    while (CWnd* child = children.head) {
        children.remove(child);
        child->parent_ = nullptr;
        std::unique_ptr<CWnd> owned(child);  // the list was the owner
    }
    childCount = 0;
}

int CParentWnd::sizeChanged(HDC dc) {
    RECT remaining{};
    GetClientRect(hwnd_, &remaining);
    DPtoLP(dc, reinterpret_cast<POINT*>(&remaining), 2);
    for (CWnd* child = children.head; child; child = child->next) child->placeInParent(dc, remaining);
    return 1;
}

namespace {
constexpr DWORD FrameStyle = 0x00CF0000;    // WS_OVERLAPPEDWINDOW
constexpr DWORD FrameExStyle = 0x00040000;  // WS_EX_APPWINDOW
constexpr DWORD ClientStyle = 0x42300000;   // child, clip children, both scroll bars
constexpr UINT FirstMdiChildId = 1000;
}  // namespace

CMDIFrameWnd::CMDIFrameWnd(int x, int y, int cx, int cy, int windowMenuPosition)
    : CParentWnd(nullptr, x, y, cx, cy, FrameStyle, WindowFlags::MdiFrame | WindowFlags::DeferCreate) {
    HWND frame = CreateWindowExA(FrameExStyle, WindowClassName, "Title", FrameStyle, x, y, cx, cy, nullptr, nullptr,
                                 App.instance, nullptr);
    if (!frame) return;
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = GetSubMenu(GetMenu(frame), windowMenuPosition);
    ccs.idFirstChild = FirstMdiChildId;
    client_ = CreateWindowExA(0, "MDICLIENT", nullptr, ClientStyle, 0, 0, 0, 0, frame, nullptr, App.instance, &ccs);
    if (client_) ShowWindow(client_, SW_SHOW);
    App.mdiClient = client_;
    const INITCOMMONCONTROLSEX bars{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    if (InitCommonControlsEx(&bars))
        status_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, frame,
                                  nullptr, App.instance, nullptr);
    attach(frame, FrameStyle);
    // The size messages of creation came before the object, so the client
    // has not been fitted yet.
    fitChildren();
}

void CMDIFrameWnd::fitChildren() {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    int bar = 0;
    if (status_) {
        SendMessageA(status_, WM_SIZE, 0, 0);  // the bar places itself
        RECT own{};
        GetWindowRect(status_, &own);
        bar = own.bottom - own.top;
    }
    if (client_) MoveWindow(client_, 0, 0, rc.right, rc.bottom > bar ? rc.bottom - bar : 0, TRUE);
}

void CMDIFrameWnd::setStatusText(const std::string& text) {
    if (!status_) return;
    SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    UpdateWindow(status_);
}

void CMDIFrameWnd::closeChildren() {
    std::vector<HWND> open;
    for (HWND w = client_ ? GetWindow(client_, GW_CHILD) : nullptr; w; w = GetWindow(w, GW_HWNDNEXT))
        if (!GetWindow(w, GW_OWNER)) open.push_back(w);
    for (HWND w : open) SendMessageA(client_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(w), 0);
}

CMDIFrameWnd::~CMDIFrameWnd() {
    if (App.mdiClient == client_) App.mdiClient = nullptr;
    // Deleting the frame from code ends the program as closing it does.
    PostQuitMessage(0);
}

bool CMDIFrameWnd::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SIZE) {
        CWnd::handleMessage(msg, wp, lp);
        // Not passed on: the default would stretch the client over the status bar.
        fitChildren();
        return false;
    }
    if (msg != WM_DESTROY) return CWnd::handleMessage(msg, wp, lp);
    HWND frame = hwnd_;
    const bool pass = CWnd::handleMessage(msg, wp, lp);  // may delete this object
    SendMessageA(frame, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(frame, WM_ACTIVATE, WA_INACTIVE, 0);
    PostQuitMessage(0);
    return pass;
}

bool CMDIFrameWnd::command(int code, int id, HWND control) {
    if (code > 1) return false;
    switch (id) {
    case 32001: SendMessageA(client_, WM_MDITILE, MDITILE_HORIZONTAL, 0); return false;
    case 32002: SendMessageA(client_, WM_MDITILE, MDITILE_VERTICAL, 0); return false;
    case 32003: SendMessageA(client_, WM_MDICASCADE, 0, 0); return false;
    case 32004: SendMessageA(client_, WM_MDIICONARRANGE, 0, 0); return false;
    case 32005: closeChildren(); return false;
    default: break;
    }
    HWND active = client_ ? reinterpret_cast<HWND>(SendMessageA(client_, WM_MDIGETACTIVE, 0, 0)) : nullptr;
    if (CWnd* child = fromHandle(active)) return child->command(code, id, control);
    return true;
}
