#include "DriverUi.h"

#include <cstdio>
#include <fstream>

namespace drive {

Process::~Process() {
    if (info_.hProcess) {
        if (running()) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, ShortWait);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

bool Process::start(const std::string& exe, const std::string& arguments, const std::string& directory,
                    const std::string& stderrFile) {
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
    const BOOL ok = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, errorFile != INVALID_HANDLE_VALUE,
                                   0, nullptr, directory.c_str(), &si, &info_);
    if (errorFile != INVALID_HANDLE_VALUE) CloseHandle(errorFile);
    return ok != FALSE;
}

bool Process::waitExit(DWORD ms, DWORD& code) {
    if (!info_.hProcess || WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(info_.hProcess, &code) != FALSE;
}

bool Process::running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool waitUntil(const std::function<bool()>& condition, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(50);
    }
}

namespace {

struct Search { DWORD pid; const char* className; const char* title; HWND except; HWND found; };

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || hwnd == s->except || !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != s->className) return TRUE;
    if (s->title && windowText(hwnd) != s->title) return TRUE;
    s->found = hwnd;
    return FALSE;
}

BOOL CALLBACK collectStatic(HWND hwnd, LPARAM param) {
    auto* best = reinterpret_cast<std::string*>(param);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        std::string text = windowText(hwnd);
        if (text.size() > best->size()) *best = text;
    }
    return TRUE;
}

}  // namespace

HWND findWindow(DWORD pid, const char* className, const char* title, HWND except) {
    Search s{pid, className, title, except, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND waitWindow(DWORD pid, const char* className, const char* title, DWORD ms, HWND except) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(pid, className, title, except)) != nullptr; }, ms);
    return found;
}

bool waitGone(HWND window, DWORD ms) {
    return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, ms);
}

std::string windowText(HWND window) {
    char text[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             ShortWait, &copied))
        return {};
    return std::string(text, strnlen(text, sizeof text));
}

std::string itemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? windowText(item) : std::string("<no item>");
}

bool setItemText(HWND dialog, int id, const std::string& text) {
    HWND item = GetDlgItem(dialog, id);
    DWORD_PTR result = 0;
    return item && SendMessageTimeoutA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                       ShortWait, &result);
}

void click(HWND dialog, int id) {
    if (HWND item = GetDlgItem(dialog, id)) PostMessageA(item, BM_CLICK, 0, 0);
}

bool isChecked(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    DWORD_PTR state = 0;
    return item && SendMessageTimeoutA(item, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, ShortWait, &state) &&
           state == BST_CHECKED;
}

void postCommand(HWND window, int id) { PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }

void pressAltLetter(HWND window, char letter) {
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(VkKeyScanA(letter) & 0xFF), MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_SYSCHAR, static_cast<WPARAM>(letter), static_cast<LPARAM>(0x20000001 | (scan << 16)));
}

void pressKey(HWND window, int virtualKey) {
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(1 | (scan << 16)));
    PostMessageA(window, WM_KEYUP, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(0xC0000001 | (scan << 16)));
}

std::string messageText(HWND box) {
    std::string best;
    EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(&best));
    return best;
}

bool sync(HWND window, DWORD ms) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) != 0;
}

bool isAbove(HWND a, HWND b) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == a) return true;
        if (w == b) return false;
    }
    return false;
}

bool screenshot(const std::string& name) {
    char dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("HX_SNAP_DIR", dir, sizeof dir)) return false;
    const std::string base = std::string(dir) + "\\" + name;
    std::ofstream(base + ".request").put('\n');
    return waitUntil([&] { return GetFileAttributesA((base + ".done").c_str()) != INVALID_FILE_ATTRIBUTES; }, 25000);
}

}  // namespace drive
