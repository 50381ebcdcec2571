#include "ui/Win32Notice.h"

#include <windows.h>

#include "ui/CApp.h"

int Win32Notice::messageBox(const std::string& text, const std::string& caption, unsigned type) {
    // With several files chosen the box must say which one it is about.
    std::string shown = text;
    const char* source = NoticeSource::current();
    if (source && *source && shown.find(source) == std::string::npos) shown.append("\n").append(source);
    HWND before = GetActiveWindow();
    const int answer = MessageBoxA(App.mainHandle(), shown.c_str(), caption.c_str(), type);
    // Give the activation back, also when a form rather than the frame had it.
    if (before && IsWindow(before)) SetActiveWindow(before);
    return answer;
}

void Win32Notice::setBusy(bool busy) {
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(busy ? 32514 : 32512)));
}
