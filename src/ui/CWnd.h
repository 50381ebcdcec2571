#pragma once
// The program's thin window layer: one window class and one window
// procedure route platform messages to the virtual operations of window
// objects. The order of the virtual operations is part of the design.
#include <windows.h>

#include <cstdint>
#include <string>

#include "data/VArray.h"

class CParentWnd;

namespace WindowFlags {
inline constexpr std::uint32_t MdiChild = 0x0100;
inline constexpr std::uint32_t MdiFrame = 0x0200;
inline constexpr std::uint32_t DeferCreate = 0x0800;
inline constexpr std::uint32_t Destroying = 0x1000;
inline constexpr std::uint32_t NoErase = 0x2000;
}  // namespace WindowFlags

// Set in the key state of a button press that follows the previous one
// (any button, any window) within DoubleClickMs.
inline constexpr DWORD DoubleClickBit = 0x80000000u;
inline constexpr DWORD DoubleClickMs = 500;

class CWnd : public DNode<CWnd> {
public:
    CWnd(CParentWnd* parent, int x, int y, int cx, int cy, DWORD style, std::uint32_t flags);

    // Slots 0 to 16.
    ~CWnd() override;
    virtual void placeInParent(HDC dc, RECT& remaining);
    // True to pass the message on to the platform's default procedure.
    virtual bool handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual void paintIfVisible(HDC dc, int left, int top, int right, int bottom);
    virtual void nextPage(HDC dc, int& page);
    virtual int keyDown(int virtualKey);
    virtual int character(int code);
    virtual void scrolled(int horizontal, int code);
    virtual int sizeChanged(HDC dc);
    // True to pass the command on.
    virtual bool command(int code, int id, HWND control);
    virtual void paint(HDC dc, int left, int top, int right, int bottom, bool erase);
    virtual void activated(bool active);
    virtual void focus(bool gained);
    virtual void menuOpening(HMENU menu);
    virtual void buttonUp(DWORD keys, int x, int y);
    virtual void buttonDown(DWORD keys, int x, int y);
    virtual void mouseMove(DWORD keys, int x, int y);

    // Creates the platform window when there is none yet, then ties this
    // object to it and reads its client size.
    void attach(HWND existing, DWORD style, const char* title = "wintitle");
    void setIcon(int iconId, bool large);

    HWND handle() const { return hwnd_; }
    std::uint32_t flags() const { return flags_; }
    CParentWnd* parent() const { return parent_; }
    int x() const { return x_; }
    int y() const { return y_; }
    int cx() const { return cx_; }
    int cy() const { return cy_; }

    // The object tied to a platform window, or null.
    static CWnd* fromHandle(HWND hwnd);
    static LRESULT CALLBACK windowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

protected:
    // Where an unhandled message goes for this kind of window.
    LRESULT passOn(UINT msg, WPARAM wp, LPARAM lp) const;
    // Frees the object after the platform destroyed its window, through
    // whoever owns it: the parent's list or the application object.
    void disposeAfterDestroy();

    HWND hwnd_ = nullptr;
    HBRUSH brush_ = nullptr;
    std::uint32_t flags_ = 0;
    CParentWnd* parent_ = nullptr;
    HCURSOR cursor_ = nullptr;
    int x_ = 0;
    int y_ = 0;
    int cx_ = 0;
    int cy_ = 0;

private:
    friend class CParentWnd;
    LRESULT route(UINT msg, WPARAM wp, LPARAM lp);
    void readClientSize();
};

class CParentWnd : public CWnd {
public:
    using CWnd::CWnd;
    ~CParentWnd() override;
    int sizeChanged(HDC dc) override;

    // Deletes every child object still in the list.
    void deleteChildren();

    std::int32_t childCount = 0;
    DList<CWnd> children;
};

class CMDIFrameWnd : public CParentWnd {
public:
    CMDIFrameWnd(int x, int y, int cx, int cy, int windowMenuPosition);
    ~CMDIFrameWnd() override;
    bool handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool command(int code, int id, HWND control) override;

    HWND mdiClient() const { return client_; }
    // The status bar's line: what the last command did, or how far a long
    // one has come (painted at once, also while a command runs).
    void setStatusText(const std::string& text);
    // Closes every MDI child window ("Close All").
    void closeChildren();

private:
    // The status bar along the bottom, the MDI client above it.
    void fitChildren();

    HWND client_ = nullptr;
    HWND status_ = nullptr;
};

// The clock the double-click rule reads; tests put their own in.
using TickSource = DWORD(WINAPI*)();
TickSource setTickSource(TickSource source);
// The key state a button press carries: keys, plus DoubleClickBit when it
// came within DoubleClickMs of the previous press. Remembers its time.
DWORD markButtonDown(DWORD keys);
void forgetButtonDowns();

// Pixels to hundredths of an inch on the screen and back.
int toLogicalX(int pixels);
int toLogicalY(int pixels);
// Sets the hundredths-of-an-inch mapping on a device context.
void setLogicalMapping(HDC dc);
