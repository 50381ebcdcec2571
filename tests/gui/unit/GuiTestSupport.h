#pragma once
// What the window-framework tests share: the program's window class and
// resources, and a way to answer a modal form from inside its own loop.
#include <windows.h>

#include <functional>

#include "ui/CApp.h"

namespace guitest {

// Registers the window class once; the tests' resources are the program's.
inline void prepareApp() {
    static const bool registered = [] {
        App.instance = GetModuleHandleA(nullptr);
        return App.registerWindowClass(App.instance);
    }();
    (void)registered;
}

// Removes a quit message a test left in the queue, so that the next modal
// loop does not end at once. True when there was one.
inline bool takeQuitMessage() {
    MSG msg;
    bool found = false;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) found = true;
    return found;
}

// Runs `act` once from the message loop that is running when the timer
// fires (a form's modal loop), with the visible dialog of this thread
// titled `title`.
class WhenShown {
public:
    WhenShown(const char* title, std::function<void(HWND)> act) : title_(title), act_(std::move(act)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, &WhenShown::tick);
    }
    ~WhenShown() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool done() const { return done_; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        WhenShown* self = current_;
        if (!self || self->done_) return;
        HWND dialog = FindWindowA("#32770", self->title_);
        if (!dialog) return;
        self->done_ = true;
        self->act_(dialog);
    }

    const char* title_;
    std::function<void(HWND)> act_;
    UINT_PTR timer_ = 0;
    bool done_ = false;
    static inline WhenShown* current_ = nullptr;
};

// A button click as the button reports it to its dialog.
inline void clickItem(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace guitest
