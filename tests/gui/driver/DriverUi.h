#pragma once
// What the end-to-end driver does to the desktop program: start it, find
// its windows by class and title, type into items, click, read message
// boxes. Every wait has a time bound, and every message sent to the
// program gives up when it hangs.
#include <windows.h>

#include <fstream>
#include <functional>
#include <string>

namespace drive {

inline constexpr DWORD ShortWait = 5000;
inline constexpr DWORD LongWait = 30000;

class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() {
        if (!info_.hProcess) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, ShortWait);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }

    bool start(const std::string& exe, const std::string& arguments, const std::string& directory,
               const std::string& stderrFile = {}) {
        std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        HANDLE errorFile = INVALID_HANDLE_VALUE;
        if (!stderrFile.empty()) {
            SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
            errorFile = CreateFileA(stderrFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
            si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
            si.hStdError = errorFile;
        }
        const BOOL ok = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr,
                                       errorFile != INVALID_HANDLE_VALUE, 0, nullptr, directory.c_str(), &si, &info_);
        if (errorFile != INVALID_HANDLE_VALUE) CloseHandle(errorFile);
        return ok != FALSE;
    }
    // False when it did not end within `ms`.
    bool waitExit(DWORD ms, DWORD& code) {
        if (!info_.hProcess || WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return false;
        return GetExitCodeProcess(info_.hProcess, &code) != FALSE;
    }
    DWORD id() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_{};
};

inline bool waitUntil(const std::function<bool()>& condition, DWORD ms) {
    for (const DWORD start = GetTickCount();; Sleep(50)) {
        if (condition()) return true;
        if (GetTickCount() - start >= ms) return false;
    }
}

// A visible top-level window of the process with this class and title
// (null title: any), other than `except`.
inline HWND findWindow(DWORD pid, const char* className, const char* title, HWND except = nullptr) {
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, className, title));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && w != except && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

inline HWND waitWindow(DWORD pid, const char* className, const char* title, DWORD ms = LongWait,
                       HWND except = nullptr) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(pid, className, title, except)) != nullptr; }, ms);
    return found;
}

inline bool waitGone(HWND window, DWORD ms = ShortWait) {
    return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
}

inline std::string windowText(HWND window) {
    char text[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             ShortWait, &copied))
        return {};
    return std::string(text, strnlen(text, sizeof text));
}

inline std::string itemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? windowText(item) : std::string("<no item>");
}

inline bool setItemText(HWND dialog, int id, const std::string& text) {
    HWND item = GetDlgItem(dialog, id);
    DWORD_PTR result = 0;
    return item && SendMessageTimeoutA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                       SMTO_ABORTIFHUNG, ShortWait, &result);
}

// A click as the button itself makes it: posted, so a box it opens does
// not block the driver.
inline void click(HWND dialog, int id) {
    if (HWND item = GetDlgItem(dialog, id)) PostMessageA(item, BM_CLICK, 0, 0);
}

inline bool isChecked(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    DWORD_PTR state = 0;
    return item && SendMessageTimeoutA(item, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, ShortWait, &state) &&
           state == BST_CHECKED;
}

// A menu or accelerator command.
inline void postCommand(HWND window, int id) { PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }

// The keys a person presses: Alt+letter as the system character, and a
// function key.
inline void pressAltLetter(HWND window, char letter) {
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(VkKeyScanA(letter) & 0xFF), MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_SYSCHAR, static_cast<WPARAM>(letter), static_cast<LPARAM>(0x20000001 | (scan << 16)));
}

inline void pressKey(HWND window, int virtualKey) {
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(0xC0000001 | (scan << 16)));
}

// The text of a message box (its longest static item) on one line, as
// harvex writes the same message to its error stream.
inline std::string messageText(HWND box) {
    std::string best;
    for (HWND item = nullptr; (item = FindWindowExA(box, item, "Static", nullptr));) {
        const std::string text = windowText(item);
        if (text.size() > best.size()) best = text;
    }
    std::string line;
    for (char c : best)
        if (c != '\r') line += c == '\n' ? ' ' : c;
    return line;
}

// Waits until the program has handled everything sent so far.
inline bool sync(HWND window, DWORD ms = LongWait) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) != 0;
}

// Whether window `a` lies above window `b` among the top-level windows.
inline bool isAbove(HWND a, HWND b) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == a) return true;
        if (w == b) return false;
    }
    return false;
}

// Asks the test script for a screenshot and waits for it.
inline bool screenshot(const std::string& name) {
    char dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("HX_SNAP_DIR", dir, sizeof dir)) return false;
    const std::string base = std::string(dir) + "\\" + name;
    std::ofstream(base + ".request").put('\n');
    return waitUntil([&] { return GetFileAttributesA((base + ".done").c_str()) != INVALID_FILE_ATTRIBUTES; }, 25000);
}

}  // namespace drive
