#pragma once
// What the end-to-end driver does to the desktop program: start it, find
// its windows by class and title, type into items, click, read message
// boxes. Every wait has a time bound.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace drive {

inline constexpr DWORD ShortWait = 5000;
inline constexpr DWORD LongWait = 30000;

class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();  // ends the process when it still runs

    bool start(const std::string& exe, const std::string& arguments, const std::string& directory,
               const std::string& stderrFile = {});
    // False when it did not end within `ms`.
    bool waitExit(DWORD ms, DWORD& code);
    DWORD id() const { return info_.dwProcessId; }
    bool running() const;

private:
    PROCESS_INFORMATION info_{};
};

bool waitUntil(const std::function<bool()>& condition, DWORD ms);

// A visible top-level window of the process with this class and title
// (null title: any), other than `except`.
HWND findWindow(DWORD pid, const char* className, const char* title, HWND except = nullptr);
HWND waitWindow(DWORD pid, const char* className, const char* title, DWORD ms = LongWait, HWND except = nullptr);
bool waitGone(HWND window, DWORD ms = ShortWait);

std::string windowText(HWND window);
std::string itemText(HWND dialog, int id);
bool setItemText(HWND dialog, int id, const std::string& text);
// A click as the button itself makes it: posted, so a box it opens does
// not block the driver.
void click(HWND dialog, int id);
bool isChecked(HWND dialog, int id);
// Posts a menu or accelerator command to the window.
void postCommand(HWND window, int id);
// The keys a person presses: Alt+letter as the system character, and a
// function key.
void pressAltLetter(HWND window, char letter);
void pressKey(HWND window, int virtualKey);

// The text of a message box (its longest static line).
std::string messageText(HWND box);
// Waits until the program has handled everything sent so far.
bool sync(HWND window, DWORD ms = LongWait);

// Whether window `a` lies above window `b` among the top-level windows.
bool isAbove(HWND a, HWND b);

// Asks the test script for a screenshot and waits for it.
bool screenshot(const std::string& name);

}  // namespace drive
