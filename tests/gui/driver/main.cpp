// Drives HarvexUtility.exe as a person would, through window messages, by the steps of
// tests/gui/scenarios.txt; run under Wine by tools/xvfb-wine.sh: harvex_gui_driver TABLE PROGRAM HARVEX.
// Given a file: URL it is the help viewer it registers for .htm files: it writes the URL to %HX_HELP_LOG%.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <utility>

#include "support/Recipe.h"
#include "support/TextFiles.h"

namespace fs = std::filesystem;
using testsupport::fileText;
using Args = std::vector<std::string>;

namespace {

constexpr DWORD Wait = 30000;
std::string root, dir, program, harvex;  // dir: the scenario's own
HANDLE gui;
HWND mainWindow, form, box;  // the form and box the steps look at
HMENU menu;

std::string ok(bool good, const std::string& why) { return good ? "" : why; }

std::string path(const std::string& name) { return name.size() > 1 && name[1] == ':' ? name : dir + "\\" + name; }

HANDLE start(const std::string& exe, std::string arguments) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION p{};
    arguments = "\"" + exe + "\" " + arguments;
    CreateProcessA(exe.c_str(), arguments.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &p);
    return CloseHandle(p.hThread), p.hProcess;
}

// The exit code, or -1 when it runs on (it is ended then).
long ended(HANDLE process, DWORD ms = Wait) {
    DWORD code = 0;
    const bool gone = WaitForSingleObject(process, ms) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code);
    TerminateProcess(process, 99);
    CloseHandle(process);
    return gone ? long(code) : -1;
}

bool waitUntil(const std::function<bool()>& done) {
    for (const DWORD begin = GetTickCount(); !done(); Sleep(50))
        if (GetTickCount() - begin > Wait) return false;
    return true;
}

// Gives up when the program hangs.
LRESULT send(HWND to, UINT message, WPARAM wp = 0, const void* lp = nullptr) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(to, message, wp, reinterpret_cast<LPARAM>(lp), SMTO_ABORTIFHUNG, Wait, &result);
    return static_cast<LRESULT>(result);
}

std::string text(HWND window) {
    char buffer[1024] = {};
    send(window, WM_GETTEXT, sizeof buffer, buffer);
    return buffer;
}

// A visible form or box (all are the program's) other than `except`, once
// it has handled what it was sent.
HWND findWindow(const char* title, HWND except = nullptr, bool wait = true) {
    HWND w = nullptr;
    const auto find = [&] {
        while ((w = FindWindowExA(nullptr, w, "#32770", title)) && (w == except || !IsWindowVisible(w))) {}
        return w != nullptr;
    };
    if (wait ? waitUntil(find) : find()) send(w, WM_NULL);
    return w;
}

// What a person reads on a control: no '&', no trailing blank or colon.
std::string label(std::string s) {
    std::erase(s, '&');
    while (!s.empty() && (s.back() == ' ' || s.back() == ':')) s.pop_back();
    return s;
}

bool isA(HWND window, const char* className) {
    char name[64];
    return GetClassNameA(window, name, sizeof name) && !_stricmp(name, className);
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> all;
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) all.push_back(w);
    return all;
}

// The control showing `name`, its exact text first; a field is the control
// after its label.
HWND control(const std::string& name, bool field = false, HWND parent = form) {
    for (bool exact : {true, false})
        for (HWND w : children(parent))
            if ((exact ? text(w) : label(text(w))) == name) return field ? GetWindow(w, GW_HWNDNEXT) : w;
    return nullptr;
}

// A box's texts on one line.
std::string message(HWND window) {
    std::string shown;
    for (HWND w : children(window))
        if (isA(w, "Static") && !text(w).empty()) shown.append(shown.empty() ? "" : " ").append(text(w));
    std::replace(shown.begin(), shown.end(), '\n', ' ');
    return std::erase(shown, '\r'), shown;
}

// The chart windows, the active one first.
std::vector<HWND> charts() {
    HWND client = FindWindowExA(mainWindow, nullptr, "MDIClient", nullptr);
    std::vector<HWND> all = client ? children(client) : std::vector<HWND>{};
    std::erase_if(all, [](HWND w) { return !isA(w, "Window"); });
    return all;
}

// The chart's picture through Ctrl+C: per panel (a frame's top and bottom
// rows), the stretches of 3 or more trace-less columns within its trace,
// or "-" when it has none.
std::string pictureGaps() {
    const DWORD before = GetClipboardSequenceNumber();
    PostMessageA(mainWindow, WM_CHAR, 'C' - '@', 1);
    HGLOBAL dib = nullptr;
    waitUntil([&] { return GetClipboardSequenceNumber() != before && OpenClipboard(nullptr) && ((dib = GetClipboardData(CF_DIB)) || CloseClipboard()); });
    if (!dib) return "nothing copied";
    const auto* info = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib));
    const int w = info->biWidth, h = std::abs(info->biHeight), bytes = info->biBitCount / 8, stride = (w * bytes + 3) & ~3;
    const auto* bits = reinterpret_cast<const BYTE*>(info + 1) + (info->biCompression == BI_BITFIELDS ? 12 : 0);
    const auto is = [&](int x, int y, int r, int g, int b) {
        const BYTE* p = bits + (info->biHeight > 0 ? h - 1 - y : y) * stride + x * bytes;
        return std::abs(p[2] - r) < 12 && std::abs(p[1] - g) < 12 && std::abs(p[0] - b) < 12;
    };
    std::vector<int> edges;
    for (int y = 0; y < h; ++y) {
        int n = 0;
        for (int x = 0; x < w; ++x) n += is(x, y, 77, 77, 77);
        if (n > w / 2) edges.push_back(y);
    }
    std::string shown;
    for (std::size_t i = 0; i + 1 < edges.size(); i += 2) {
        int first = -1, last = -1, gaps = 0;
        for (int x = 0; x < w; ++x) {
            bool trace = false;
            for (int y = edges[i] + 1; y < edges[i + 1] && !trace; ++y) trace = is(x, y, 31, 79, 153);
            if (!trace) continue;
            gaps += first >= 0 && x - last > 3, first = first < 0 ? x : first, last = x;
        }
        shown.append(shown.empty() ? "" : " ").append(first < 0 ? "-" : std::to_string(gaps));
    }
    GlobalUnlock(dib);
    CloseClipboard();
    return shown;
}

std::string strayBox() {
    HWND stray = gui && !box ? findWindow("  Error  ", nullptr, false) : nullptr;
    return stray ? "a box says " + message(stray) : "";
}

// No form or box is up and the main window takes input.
std::string idle() {
    HWND other = nullptr;
    if (!waitUntil([&] { return !(other = findWindow(nullptr, nullptr, false)) && IsWindowEnabled(mainWindow); }))
        return other ? text(other) + " is still up" : "the main window takes no input";
    return send(mainWindow, WM_NULL), "";
}

std::string click(HWND window, const std::string& name) {
    HWND button = control(name, false, window);
    PostMessageA(button, BM_CLICK, 0, 0);  // posted: a box it opens must not block the driver
    return button ? "" : "no button " + name;
}

std::string expectBox(const std::string& caption, const std::string& expected, HWND owner) {
    if (!(box = findWindow(caption.c_str(), form))) return "no box " + caption;
    if (GetWindow(box, GW_OWNER) != owner) return "the box has another owner";
    const std::string shown = message(box);
    return shown == expected || expected.empty() ? "" : "the box says " + shown;
}

std::string closeBox(const std::string& button) {
    std::string error = click(box, button);
    if (error.empty() && !waitUntil([] { return !IsWindowVisible(box); })) error = "the box stays";
    box = nullptr;
    return send(form, WM_NULL), error;
}

Args filesIn(const std::string& folder) {
    Args names;
    for (const auto& entry : fs::directory_iterator(path(folder)))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string sameFiles(const std::string& a, const std::string& b) {
    if (!fs::is_directory(path(a))) return fileText(path(a)) == fileText(path(b)) ? "" : a + " differs from " + b;
    const Args names = filesIn(a);
    if (names.empty() || names != filesIn(b)) return a + " and " + b + " hold other files";
    for (const auto& name : names)
        if (auto e = sameFiles(a + "\\" + name, b + "\\" + name); !e.empty()) return e;
    return "";
}

// A second copy, started while another window covers the first.
std::string startAgain() {
    HWND cover = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr, nullptr,
                                 nullptr);
    const auto above = [](HWND a, HWND b) { while (a && a != b) a = GetWindow(a, GW_HWNDNEXT); return a == b; };
    const std::string settings = fileText(path("wHarvex.ini"));
    const bool covered = above(cover, mainWindow);
    const long code = ended(start(program, ""));
    const bool raised = above(mainWindow, cover);
    DestroyWindow(cover);
    if (code != 0) return "the second copy ends with " + std::to_string(code);
    if (!covered || !raised) return covered ? "the first copy stays behind" : "nothing covers the first copy";
    return fileText(path("wHarvex.ini")) == settings ? "" : "the second copy changed the settings";
}

// Each word quoted and followed by a blank, or with no quote between blanks.
std::string joined(const Args& words, const std::string& quote = "\"") {
    std::string s;
    for (const auto& w : words) s += quote.empty() ? (s.empty() ? "" : " ") + w : quote + w + quote + " ";
    return s;
}

// The step's failure, or nothing.
std::string step(const std::string& verb, const Args& a) {
    const std::string first = a.empty() ? "" : a[0];
    if (verb != "expect box" && verb != "click" && verb != "expect exit")
        if (auto e = strayBox(); !e.empty()) return e;
    if (verb == "start" && first == "again") return startAgain();
    if (verb == "close") return ok(PostMessageA(form ? form : mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0), "");
    if (verb == "set") return ok(send(control(a.at(1), true), WM_SETTEXT, 0, a.at(2).c_str()), "no field " + a[1]);
    if (verb == "expect box") return expectBox(first, joined({a.begin() + 1, a.end()}, ""), mainWindow);
    if (verb == "expect question") return expectBox(first, "", form);  // the platform's, before replacing a file
    if (verb == "expect no") return form = nullptr, idle();  // expect no form
    if (verb == "expect same") return sameFiles(first, a.at(1));
    if (verb == "expect status") {
        std::string shown;
        const bool says = waitUntil([&] { return (shown = text(FindWindowExA(mainWindow, nullptr, "msctls_statusbar32", nullptr))) == first; });
        return ok(says, "the status bar says " + shown);
    }
    if (verb == "expect charts") {  // TITLE..., the active one first
        Args titles;
        const bool shown = waitUntil([&] { titles.clear(); for (HWND w : charts()) titles.push_back(text(w)); return titles == a; });
        return ok(shown, "charts: " + joined(titles));
    }
    if (verb == "expect picture") {
        const std::string gaps = pictureGaps();
        return ok(gaps == joined(a, ""), "the panels' gaps: " + gaps);
    }
    if (verb == "wheel" || verb == "mouse") {  // wheel NOTCHES (up zooms in) | mouse: the pointer to the chart's middle
        RECT r{};
        GetClientRect(charts().at(0), &r);
        POINT p{r.right / 2, r.bottom / 2};
        if (verb == "mouse") return ok(PostMessageA(charts()[0], WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y)), "");
        ClientToScreen(charts()[0], &p);
        return ok(PostMessageA(charts()[0], WM_MOUSEWHEEL, MAKEWPARAM(0, std::stoi(first) * WHEEL_DELTA), MAKELPARAM(p.x, p.y)), "");
    }
    if (verb == "expect files") return ok(filesIn(dir) == a, "files: " + joined(filesIn(dir)));
    if (verb == "harvex") return ok(ended(start(harvex, joined(a)), 120000) == 0, "harvex fails");
    if (verb == "samples") return ok(ended(start(fs::path(harvex).replace_filename("harvex_samples.exe").string(), "."), 120000) == 0, "no samples");
    if (verb == "expect exit") return ok(ended(std::exchange(gui, nullptr)) == 0, "the program does not end with 0");
    if (verb == "mkdir") {
        for (const auto& d : a) fs::create_directories(path(d));
    } else if (verb == "copy") {  // FROM TO...
        for (std::size_t i = 1; i < a.size(); ++i) fs::copy_file(path(first), path(a[i]));
    } else if (verb == "screenshot") {  // NAME.png in ..\screenshots, by ImageMagick's import (Wine runs host programs)
        fs::create_directories(root + "\\..\\screenshots");
        std::string png = root.substr(2) + "\\..\\screenshots\\" + first + ".png";
        std::replace(png.begin(), png.end(), '\\', '/');
        Sleep(1500);  // painting ends after the messages are handled
        const std::string made = "Z:" + png;
        fs::remove(made);
        ended(start("/usr/bin/import", "-window root " + png));
        // Wine runs a host program detached: wait for the whole picture before the next step changes the screen.
        std::uintmax_t size = 0;
        const auto whole = [&] { return fs::exists(made) && std::exchange(size, fs::file_size(made)) == size && size > 0; };
        if (!waitUntil([&] { return Sleep(200), whole(); })) return "no screenshot " + first;
    } else if (verb == "write") {
        std::ofstream out(path(first), std::ios::binary);
        for (std::size_t i = 1; i < a.size(); ++i) out << a[i] << "\r\n";
    } else if (verb == "start") {
        const std::string title = a.empty() ? "Harvex Utility" : first;
        gui = start(a.size() > 1 ? path(a[1]) : program, "");
        if (!waitUntil([&] { return (mainWindow = FindWindowA("Window", title.c_str())); })) return "no window " + title;
        RECT r{};
        GetWindowRect(mainWindow, &r);
        if (r.left || r.top || r.right != GetSystemMetrics(SM_CXSCREEN) || r.bottom != GetSystemMetrics(SM_CYSCREEN))
            return "the main window does not cover the screen";
        return idle();
    } else if (verb == "key") {  // KEY [in FIELD]; else to the active chart, if any
        if (auto e = a.size() == 3 ? "" : idle(); !e.empty()) return e;
        HWND to = a.size() == 3 ? control(a[2], true) : charts().empty() ? mainWindow : charts()[0];
        const Args names{"F1", "Escape", "Home", "Left", "Right"};
        const WPARAM codes[] = {VK_F1, VK_ESCAPE, VK_HOME, VK_LEFT, VK_RIGHT, VK_RETURN};
        const WPARAM key = codes[std::find(names.begin(), names.end(), first) - names.begin()];
        if (first.size() == 1) PostMessageA(to, WM_CHAR, first[0], 1);  // typed
        else if (first.starts_with("Ctrl+")) PostMessageA(to, WM_CHAR, first[5] - '@', 1);
        else if (first.starts_with("Alt+")) PostMessageA(to, WM_SYSCHAR, first[4], 0x20000001);
        else PostMessageA(to, WM_KEYDOWN, key, 1), PostMessageA(to, WM_KEYUP, key, 0xC0000001);
    } else if (verb == "menu") {
        if (auto e = idle(); !e.empty()) return e;
        HMENU m = menu;
        for (const auto& word : a) {
            char item[64];
            int i = GetMenuItemCount(m);
            while (--i >= 0 && (GetMenuStringA(m, i, item, sizeof item, MF_BYPOSITION), label(item) != word)) {}
            if (i < 0) return "no menu item " + word;
            if (&word == &a.back()) PostMessageA(mainWindow, WM_COMMAND, GetMenuItemID(m, i), 0);
            m = GetSubMenu(m, i);
        }
    } else if (verb == "expect form") {
        if (!(form = findWindow(first.c_str()))) return "no form " + first;
        if (IsWindowEnabled(mainWindow)) return "the main window takes input under the form";
    } else if (verb == "choose") {  // NAME... in TITLE, typed after going to the scenario's directory
        if (!(form = findWindow(a.back().c_str())) || !waitUntil([] { return GetDlgItem(form, 1148); }))
            return "no file form";
        send(GetDlgItem(form, 1148), WM_SETTEXT, 0, dir.c_str());
        send(form, WM_COMMAND, IDOK);  // sent: it has gone there before the names are typed
        send(GetDlgItem(form, 1148), WM_SETTEXT, 0, (a.size() == 3 ? first : joined({a.begin(), a.end() - 2})).c_str());
        PostMessageA(form, WM_COMMAND, IDOK, 0);
    } else if (verb == "click") {
        if (box) return closeBox(first);
        for (const auto& name : a)
            if (auto e = click(form, name); !e.empty()) return e;
    } else if (verb == "refuse") {  // FIELD TEXT... with MESSAGE
        HWND field = control(first, true);
        GUITHREADINFO focus{};
        focus.cbSize = sizeof focus;
        const DWORD focusThread = GetWindowThreadProcessId(mainWindow, nullptr);
        for (std::size_t i = 1; i + 2 < a.size(); ++i) {
            send(field, WM_SETTEXT, 0, a[i].c_str());
            std::string e = click(form, "OK");
            if (e.empty()) e = expectBox("  Error  ", a.back(), mainWindow);
            if (e.empty()) e = closeBox("OK");
            const auto back = [&] { return GetGUIThreadInfo(focusThread, &focus) && focus.hwndFocus == field; };
            if (e.empty() && !waitUntil(back)) e = "the focus is not on " + first;
            if (e.empty() && send(field, EM_GETSEL) != MAKELONG(0, text(field).size())) e = "its text is not selected";
            if (!e.empty()) return a[i] + ": " + e;
        }
    } else if (verb == "expect shown") {  // the fields' texts and the checked buttons
        Args shown;
        for (HWND w : children(form)) {
            if (isA(w, "Edit")) shown.push_back(text(w));
            else if (send(w, BM_GETCHECK) == BST_CHECKED) shown.push_back(label(text(w)));
        }
        if (shown != a) return "shown: " + joined(shown);
    } else if (verb == "expect setting") {  // (SECTION KEY VALUE)...
        for (std::size_t i = 0; i + 2 < a.size(); i += 3) {
            char value[64];
            GetPrivateProfileStringA(a[i].c_str(), a[i + 1].c_str(), "-", value, 64, path("wHarvex.ini").c_str());
            if (value != a[i + 2]) return a[i + 1] + " is " + value;
        }
    } else if (verb == "expect closed") {  // renaming needs the file closed
        for (const auto& name : a) {
            const std::string from = path(name), to = from + "~";
            if (!MoveFileA(from.c_str(), to.c_str()) || !MoveFileA(to.c_str(), from.c_str())) return name + " is open";
        }
    } else if (verb == "expect help") {  // the address, a backslash read as '/'
        std::string url = first, log = path("help.log");
        std::replace(url.begin(), url.end(), '\\', '/');
        waitUntil([&] { return !fileText(log).empty(); });
        const std::string opened = fileText(log);
        DeleteFileA(log.c_str());
        if (opened != url) return "the help opens at " + opened;
    } else {
        return "unknown step";
    }
    return "";
}

// The words of a line; an unquoted ";" ends a step.
Args words(const std::string& line) {
    Args out;
    std::istringstream in(line);
    std::string w;
    const std::string bin = fs::path(program).parent_path().string();
    while (in >> std::ws && !in.eof()) {
        const bool quoted = in.peek() == '"';
        if (quoted) in.get(), std::getline(in, w, '"');
        else in >> w;
        const bool last = !quoted && w.size() > 1 && w.back() == ';';
        if (last) w.pop_back();
        for (const auto& [name, value] : {std::pair<std::string, std::string>{"$DIR", dir}, {"$BIN", bin}})
            for (std::size_t at; (at = w.find(name)) != std::string::npos;) w.replace(at, name.size(), value);
        // NAME{01..40}.DC1: a word for each number, as wide as the first.
        const auto from = w.find('{'), dots = w.find("..", from), to = w.find('}', dots);
        if (to == w.npos) out.push_back(w);
        for (int i = to == w.npos ? 1 : std::stoi(w.substr(from + 1)); to != w.npos && i <= std::stoi(w.substr(dots + 2)); ++i) {
            const std::string n = std::to_string(i), zeros(dots - from - 1 - std::min(n.size(), dots - from - 1), '0');
            out.push_back(w.substr(0, from) + zeros + n + w.substr(to + 1));
        }
        if (last) out.push_back(";");
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    char text[MAX_PATH];
    if (argc == 2 && std::string_view(argv[1]).starts_with("file:")) {
        if (!GetEnvironmentVariableA("HX_HELP_LOG", text, sizeof text)) return 0;
        // Beside a file "no-anchors" it refuses an address with an anchor, as Wine's browser launcher does.
        if (std::string_view(argv[1]).find('#') != std::string_view::npos && fs::exists(fs::path(text).parent_path() / "no-anchors"))
            return 1;
        return std::ofstream(text, std::ios::binary) << argv[1], 0;
    }
    if (argc != 4) return std::fprintf(stderr, "usage: harvex_gui_driver TABLE PROGRAM HARVEX\n"), 2;
    program = fs::absolute(argv[2]).make_preferred().string();
    harvex = fs::absolute(argv[3]).make_preferred().string();
    root = fs::current_path().string();
    GetModuleFileNameA(nullptr, text, sizeof text);
    RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "HarvexTestHelp", 0);
    const std::string viewer = "\"" + std::string(text) + "\" \"%1\"";
    RegSetValueA(HKEY_CLASSES_ROOT, "HarvexTestHelp\\shell\\open\\command", REG_SZ, viewer.c_str(), 0);
    // The menu the main window is made with (menus do not cross processes).
    menu = LoadMenuA(LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), MAKEINTRESOURCEA(1));

    std::ifstream in(argv[1]);
    std::string line, recipe;
    int number = 0, failed = 0, scenarios = 0;
    bool skipping = true;
    const auto fail = [&](const std::string& error) {
        std::printf("FAIL %s:%d: %s\n     %s\n", argv[1], number, line.c_str(), error.c_str());
        failed += !std::exchange(skipping, true);
    };
    for (bool more = true; more;) {
        more = bool(std::getline(in, line));
        ++number;
        const Args w = words(line);
        const std::string head = !more ? "scenario" : w.empty() ? "" : w[0].substr(0, w[0].find('#'));
        if (head == "data" || head == "block" || head == "alm" || head == "event") {
            recipe += line + "\n";
            continue;
        }
        if (std::istringstream lines(recipe); !recipe.empty()) testfile::writeRecipe(lines, dir), recipe.clear();
        if (head == "scenario") {
            if (const std::string e = skipping ? "" : strayBox(); !e.empty()) fail(e);
            if (gui) ended(std::exchange(gui, nullptr), 0);
            mainWindow = form = box = nullptr;
            if (!more) break;
            ++scenarios;
            skipping = false;
            dir = root + "\\" + w.at(1);
            fs::remove_all(dir);
            fs::create_directory(dir);
            SetEnvironmentVariableA("HX_HELP_LOG", path("help.log").c_str());
            std::printf("-- %s\n", line.c_str() + 9);
        }
        for (auto from = w.begin(); !skipping && !head.empty() && head != "scenario" && from != w.end();) {
            const auto to = std::find(from, w.end(), std::string(";"));
            const bool expect = *from == "expect" && to - from > 1;
            try {
                const std::string error = step(expect ? "expect " + from[1] : *from, Args(from + 1 + expect, to));
                if (!error.empty()) fail(error);
            } catch (const std::exception& e) {
                fail(e.what());
            }
            from = to == w.end() ? to : to + 1;
        }
        std::fflush(stdout);
    }
    std::printf("%d of %d scenarios passed\n", scenarios - failed, scenarios);
    return failed || !scenarios ? 1 : 0;
}
