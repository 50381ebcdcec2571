// Drives HarvexUtility.exe as a person would, through window messages,
// and checks what it shows and writes. The CSV files it writes are
// compared byte for byte with what harvex.exe writes with the same
// options. Run under Wine in a virtual display by tests/gui/e2e.sh:
//   harvex_gui_driver --gui PATH --harvex PATH [SCENARIO]
// Started with a file: URL it is the help viewer the tests register:
// it appends the URL to %HX_HELP_LOG%.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "DriverUi.h"
#include "Recordings.h"
#include "support/TextFiles.h"

using namespace drive;
using testsupport::fileText;

namespace {

std::string guiPath, harvexPath, baseDir;
int passed = 0, failed = 0;

bool check(bool ok, const std::string& what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        std::printf("FAIL: %s\n", what.c_str());
        std::fflush(stdout);
    }
    return ok;
}

bool expectText(const std::string& actual, const std::string& expected, const std::string& what) {
    return check(actual == expected, what + ": \"" + actual + "\", expected \"" + expected + "\"");
}

std::string makeDir(const std::string& name) {
    const std::string dir = baseDir + "\\" + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::set<std::string> filesIn(const std::string& dir) {
    std::set<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

// The files of two directories: the same names, byte for byte the same.
void compareOutputs(const std::string& gui, const std::string& reference, const std::string& what) {
    const auto names = filesIn(gui);
    std::string listed;
    for (const auto& n : names) listed += n + " ";
    if (!check(!names.empty() && names == filesIn(reference), what + ": the program wrote [" + listed +
                                                                  "], harvex other files"))
        return;
    for (const auto& name : names)
        check(fileText(gui + "\\" + name) == fileText(reference + "\\" + name), what + ": " + name + " differs from harvex's");
}

bool runHarvex(const std::string& arguments, const std::string& directory, const std::string& errorFile,
               bool mustSucceed = true) {
    Process p;
    if (!check(p.start(harvexPath, arguments, directory, errorFile), "harvex " + arguments + " starts")) return false;
    DWORD code = 1;
    const bool ended = p.waitExit(120000, code);
    if (!mustSucceed) return check(ended, "harvex " + arguments + " ends");
    return check(ended && code == 0, "harvex " + arguments + " ends with 0 (" + std::to_string(code) + ")");
}

struct Gui {
    Process process;
    HWND main = nullptr;
    DWORD pid() const { return process.id(); }
};

bool startGui(Gui& gui, const std::string& directory, const char* title = "Harvex Utility",
              const std::string& exe = guiPath) {
    if (!check(gui.process.start(exe, "", directory), "the program starts in " + directory)) return false;
    gui.main = waitWindow(gui.pid(), "Window", title, 60000);
    return check(gui.main != nullptr, std::string("the main window titled \"") + title + "\" appears");
}

bool exitGui(Gui& gui, char letter = 'x') {
    pressAltLetter(gui.main, letter);
    DWORD code = 99;
    const bool ended = gui.process.waitExit(LongWait, code);
    return check(ended && code == 0, std::string("Alt+") + letter + " ends the program with 0 (" +
                                         (ended ? std::to_string(code) : std::string("still running")) + ")");
}

// The form titled `title` once it has appeared and handled its messages.
HWND waitForm(const Gui& gui, const char* title) {
    HWND form = waitWindow(gui.pid(), "#32770", title);
    if (!check(form != nullptr, std::string("the form \"") + title + "\" appears")) return nullptr;
    sync(form);
    return form;
}

// Clicks the buttons in turn; the last must close the form.
bool closeWith(HWND form, const std::vector<int>& buttons, const std::string& what) {
    for (int id : buttons) click(form, id);
    return check(waitGone(form, LongWait), what);
}

// A file form once its name box is there.
HWND waitFileForm(const Gui& gui, const char* title) {
    HWND form = waitForm(gui, title);
    if (!form || !check(waitUntil([&] { return GetDlgItem(form, 1148) != nullptr; }, ShortWait),
                        std::string("\"") + title + "\" has its name box"))
        return nullptr;
    sync(form);
    return form;
}

// Goes to the directory, as a person types it into the name box (the
// form opens where the last one was left), then types the names and
// confirms them.
bool answerFileForm(const Gui& gui, const char* title, const std::string& directory, const std::string& names) {
    HWND form = waitFileForm(gui, title);
    if (!form) return false;
    setItemText(form, 1148, directory);
    PostMessageA(form, WM_COMMAND, IDOK, 0);
    sync(form);
    if (!check(IsWindowVisible(form), std::string("\"") + title + "\" goes to " + directory))
        return false;
    setItemText(form, 1148, names);
    PostMessageA(form, WM_COMMAND, IDOK, 0);
    return check(waitGone(form, LongWait), std::string("\"") + title + "\" closes after OK");
}

// &Export, then the recorder files chosen in "Read From".
bool chooseFiles(const Gui& gui, const std::string& directory, const std::string& names) {
    postCommand(gui.main, 32006);
    return answerFileForm(gui, "Read From", directory, names);
}

// The text of the next error box, which is then closed with OK.
std::string takeErrorBox(const Gui& gui) {
    HWND box = waitWindow(gui.pid(), "#32770", "  Error  ");
    if (!box) return "<no error box>";
    sync(box);
    std::string text = messageText(box);
    click(box, IDOK);
    waitGone(box);
    return text;
}

bool noErrorBox(const Gui& gui) { return findWindow(gui.pid(), "#32770", "  Error  ") == nullptr; }

std::string profileValue(const std::string& ini, const char* section, const char* key) {
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, ini.c_str());
    return value;
}

// The export time, date and interval options and the display flags the
// settings file holds, as "1 0 0 32".
void expectSettings(const std::string& ini, const char* expected, const std::string& when) {
    expectText(profileValue(ini, "export", "Time Format") + " " + profileValue(ini, "export", "Date Format") + " " +
                   profileValue(ini, "export", "Interval") + " " + profileValue(ini, "misc", "Time Format"),
               expected, "settings " + when);
}

// The four texts of the Export form's span.
void expectSpan(HWND form, const std::string& expected, const std::string& what) {
    expectText(itemText(form, 100) + " " + itemText(form, 101) + "to " + itemText(form, 102) + " " + itemText(form, 103),
               expected, what);
}

// The checked buttons among items first..last, as "110 113 117".
std::string checkedButtons(HWND form, int first, int last) {
    std::string ids;
    for (int id = first; id <= last; ++id) {
        if (!isChecked(form, id)) continue;
        if (!ids.empty()) ids += ' ';
        ids += std::to_string(id);
    }
    return ids;
}

// Names the export data.csv in `out` and compares what the program wrote
// there with what harvex writes into `ref` from A.DC1 and B.DC2.
void exportLikeHarvex(const Gui& gui, const std::string& dir, const std::string& out, const std::string& ref,
                      const std::string& options, const std::string& what) {
    if (!answerFileForm(gui, "Export Filename", out, "data.csv")) return;
    sync(gui.main);
    check(noErrorBox(gui), what + ": no error shown");
    runHarvex("export \"" + dir + "\\A.DC1\" \"" + dir + "\\B.DC2\" -o data.csv " + options, ref, ref + ".err");
    compareOutputs(out, ref, what);
}

// Title, menu, full screen; a second copy brings the first to the top
// and ends with 0 without touching the settings file.
void startAndSingleInstance() {
    const std::string dir = makeDir("start");
    const std::string ini = dir + "\\wHarvex.ini";
    writeText(ini, "[Special]\r\nDebug=0\r\n");
    Gui first;
    if (!startGui(first, dir)) return;
    expectText(windowText(first.main), "Harvex Utility", "main window title");
    check(GetMenu(first.main) != nullptr, "the main window has a menu");
    RECT rc{};
    GetWindowRect(first.main, &rc);
    check(rc.left == 0 && rc.top == 0 && rc.right == GetSystemMetrics(SM_CXSCREEN) &&
              rc.bottom == GetSystemMetrics(SM_CYSCREEN),
          "the main window covers the screen");

    // The menu the window was made with, read from the program's resources
    // (menus stay in their process under Wine).
    HMODULE program = LoadLibraryExA(guiPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (HMENU menu = program ? LoadMenuA(program, MAKEINTRESOURCEA(1)) : nullptr; check(menu, "the menu can be read")) {
        HMENU help = GetSubMenu(menu, 2);
        const struct { HMENU menu; int position; const char* text; int id; } items[] = {
            {menu, 0, "&Export", 32006}, {menu, 1, "E&xit", 1115}, {menu, 2, "&Help", -1},
            {help, 0, "&About", 1251},   {help, 1, "&Contents", 1250}};
        for (const auto& item : items) {
            char text[64] = {};
            GetMenuStringA(item.menu, item.position, text, sizeof text, MF_BYPOSITION);
            expectText(text, item.text, "menu item " + std::to_string(item.position));
            check(static_cast<int>(GetMenuItemID(item.menu, item.position)) == item.id, std::string(item.text) + " command");
        }
        DestroyMenu(menu);
    }
    if (program) FreeLibrary(program);

    const std::string before = fileText(ini);
    HWND marker = CreateWindowExA(0, "Static", "driver marker", WS_POPUP | WS_VISIBLE, 20, 20, 200, 60, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowPos(marker, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    check(isAbove(marker, first.main), "another window lies above the program");

    Process second;
    if (check(second.start(guiPath, "", dir), "a second copy starts")) {
        DWORD code = 99;
        const bool ended = second.waitExit(60000, code);
        check(ended && code == 0, "the second copy ends with 0");
        check(isAbove(first.main, marker), "the second copy brought the first to the top");
        check(fileText(ini) == before, "the second copy left the settings file alone");
    }
    DestroyWindow(marker);
    exitGui(first);
}

// About shows the "Special" texts; F1 and Contents open the help at
// topic 1; with no help file at all an error names the paths.
void aboutAndHelp() {
    const std::string dir = makeDir("about");
    writeText(dir + "\\wHarvex.ini",
              "[Special]\r\nTitle1=Harvex Test Bench\r\nCompany=Test Company Ltd\r\nAddr1=12 Chart Road\r\n"
              "Addr2=Plotter Town\r\nPhone=Phone: 555-0199\r\nFax=Fax: 555-0198\r\nWebSite=www.test.invalid\r\n");
    // The program hands its environment on to the help viewer it starts.
    const std::string log = dir + "\\help.log";
    SetEnvironmentVariableA("HX_HELP_LOG", log.c_str());
    Gui gui;
    if (!startGui(gui, dir, "Harvex Test Bench")) return;
    postCommand(gui.main, 1251);
    if (HWND about = waitForm(gui, "About")) {
        const std::pair<int, const char*> lines[] = {
            {101, "Harvex Test Bench"}, {106, "Version 4.2 (32 bit)"}, {102, "Test Company Ltd"},
            {103, "12 Chart Road"},     {104, "Plotter Town"},         {105, "Phone: 555-0199"},
            {107, "Fax: 555-0198"},     {108, "www.test.invalid"},
        };
        for (const auto& [id, text] : lines) expectText(itemText(about, id), text, "About line " + std::to_string(id));
        closeWith(about, {IDOK}, "O&K closes the About box");
    }

    // The test's own "browser" for HTML files records what it is given.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string command = std::string("\"") + self + "\" \"%1\"";
    RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "HarvexTestHelp", 0);
    RegSetValueA(HKEY_CLASSES_ROOT, "HarvexTestHelp\\shell\\open\\command", REG_SZ, command.c_str(), 0);
    std::string guiDir = guiPath.substr(0, guiPath.find_last_of('\\') + 1);
    std::string expectedUrl = "file:///";
    for (char c : guiDir + "wHarvex.htm#topic1") expectedUrl += c == '\\' ? '/' : c;

    const std::pair<const char*, std::function<void()>> ways[] = {
        {"F1", [&] { pressKey(gui.main, VK_F1); }},
        {"&Contents", [&] { postCommand(gui.main, 1250); }},
    };
    for (const auto& [name, press] : ways) {
        DeleteFileA(log.c_str());
        press();
        const bool opened = waitUntil([&] { return !fileText(log).empty(); }, LongWait);
        if (check(opened, std::string(name) + " opens the help"))
            expectText(fileText(log), testsupport::onDisk(expectedUrl + "\n"), std::string(name) + " opens the help at topic 1");
        check(noErrorBox(gui), std::string(name) + " shows no error");
    }
    exitGui(gui);

    // No .hlp and no HTML help beside the settings or the program.
    const std::string bare = makeDir("nohelp");
    const std::string bin = makeDir("nohelp\\bin");
    CopyFileA(guiPath.c_str(), (bin + "\\HarvexUtility.exe").c_str(), FALSE);
    Gui alone;
    if (!startGui(alone, bare, "Harvex Utility", bin + "\\HarvexUtility.exe")) return;
    pressKey(alone.main, VK_F1);
    const std::string text = takeErrorBox(alone);
    check(text.find("Help file not found.") == 0 && text.find(bare + "\\wHarvex.hlp") != std::string::npos &&
              text.find(bin + "\\wHarvex.htm") != std::string::npos,
          "a missing help file is named: \"" + text + "\"");
    // Closing the frame ends the program as Exit does.
    PostMessageA(alone.main, WM_CLOSE, 0, 0);
    DWORD code = 99;
    check(alone.process.waitExit(LongWait, code) && code == 0, "closing the frame ends the program with 0");
    expectText(profileValue(bare + "\\wHarvex.ini", "misc", "Time Format"), "32", "closing the frame saves the settings");
}

// Two data files and an alarm/event file chosen together; the CSV files
// match harvex's; the options chosen persist. Started again, the program
// reads them back, reports a file of the wrong type and a truncated one,
// goes on with the rest and lets go of every file it opened.
void exportAndSkipBadFiles() {
    const std::string dir = makeDir("export");
    const std::string out = makeDir("export\\gui");
    const std::string ref = makeDir("export\\ref");
    writeBoiler(dir + "\\A.DC1");
    writeFlow(dir + "\\B.DC2");
    writeAlarms(dir + "\\C.ALM");
    Gui gui;
    if (!startGui(gui, dir)) return;
    sync(gui.main);
    check(screenshot("main-window"), "screenshot of the main window");

    if (!chooseFiles(gui, dir, "\"A.DC1\" \"C.ALM\" \"B.DC2\"")) return;
    HWND display = waitForm(gui, "DISPLAY");
    if (!display) return;
    expectText(checkedButtons(display, 200, 203), "201 202", "DISPLAY opens on the defaults");
    check(screenshot("display-form"), "screenshot of DISPLAY");
    closeWith(display, {200, 203, IDOK}, "OK closes DISPLAY");
    if (!answerFileForm(gui, "Alarm/Event Export Filename", out, "events.csv")) return;

    HWND form = waitForm(gui, "Export");
    if (!form) return;
    expectSpan(form, "10:15:00 05/03/2004 to 13:09:30 05/03/2004 ", "from the earlier first to the later last sample");
    expectText(checkedButtons(form, 109, 122), "110 113 117", "Export opens on the defaults");
    check(screenshot("export-form"), "screenshot of Export");
    setItemText(form, 100, "10:30:00");
    setItemText(form, 102, "12:45:30");
    closeWith(form, {111, 115, 119, IDOK}, "OK closes the Export form");
    runHarvex("events \"" + dir + "\\C.ALM\" -o events.csv --clock 12 --date dmy", ref, dir + "\\events.err");
    exportLikeHarvex(gui, dir, out, ref,
                     "--start \"2004-03-05 10:30:00\" --end \"2004-03-05 12:45:30\" --time 12h --date dmy --split hour",
                     "export of two data files and an alarm/event file");

    const std::string ini = dir + "\\wHarvex.ini";
    if (!exitGui(gui, 'X')) return;
    expectSettings(ini, "2 2 2 64", "saved");

    const std::string out2 = makeDir("export\\gui2");
    const std::string ref2 = makeDir("export\\ref2");
    const std::string scratch = makeDir("export\\scratch");
    writeTypeTwo(dir + "\\T.DC3");
    writeTruncated(dir + "\\TR.DC2");
    Gui again;
    if (!startGui(again, dir)) return;
    if (!chooseFiles(again, dir, "\"A.DC1\" \"T.DC3\" \"TR.DC2\" \"B.DC2\"")) return;
    expectText(takeErrorBox(again), "Bad Type", "a file of type 2");
    const std::string truncated = takeErrorBox(again);
    runHarvex("export \"" + dir + "\\TR.DC2\" -o x.csv", scratch, dir + "\\truncated.err", false);
    const std::string reported = fileText(dir + "\\truncated.err");
    check(truncated != "<no error box>" && !truncated.empty() && reported.find(truncated) != std::string::npos,
          "the truncated file's error \"" + truncated + "\" is the one harvex reports: " + reported);

    if (!(form = waitForm(again, "Export"))) return;
    expectText(checkedButtons(form, 109, 122), "111 115 119", "the second start reads the options back");
    expectSpan(form, "10:15:00 05/03/2004 to 13:09:30 05/03/2004 ", "the second start keeps day-first dates");
    closeWith(form, {110, 113, 117, IDOK}, "OK closes the Export form");
    exportLikeHarvex(again, dir, out2, ref2,
                     "--start \"2004-03-05 10:15:00\" --end \"2004-03-05 13:09:30\" --time elapsed --date none --split none",
                     "export after skipped files");
    // Renaming needs the file closed: the program opens files without
    // delete sharing.
    for (const char* name : {"A.DC1", "T.DC3", "TR.DC2", "B.DC2"}) {
        const std::string path = dir + "\\" + name;
        const bool moved = MoveFileA(path.c_str(), (path + ".moved").c_str()) != FALSE;
        check(moved, std::string(name) + " is closed after the command");
        if (moved) MoveFileA((path + ".moved").c_str(), path.c_str());
    }
    exitGui(again);
}

// Cancel at each form writes nothing and keeps the options; an output
// named like an input is refused.
void cancelAndRefuse() {
    const std::string dir = makeDir("cancel");
    writeBoiler(dir + "\\A.DC1");
    writeAlarms(dir + "\\C.ALM");
    const auto files = filesIn(dir);
    const std::string data = fileText(dir + "\\A.DC1");
    const std::string alarms = fileText(dir + "\\C.ALM");
    Gui gui;
    if (!startGui(gui, dir)) return;

    // Each walk ends with Cancel at its last form, after clicks there or
    // at a form before it that must not count either.
    struct Step { const char* form; std::vector<int> buttons; };
    const struct { const char* files; std::vector<Step> steps; const char* notAsked; } cancels[] = {
        {nullptr, {{"Read From", {IDCANCEL}}}, "Export"},
        {"\"C.ALM\"", {{"DISPLAY", {200, 203, IDCANCEL}}, {"Alarm/Event Export Filename", {IDCANCEL}}}, nullptr},
        {"\"A.DC1\"", {{"Export", {112, 114, 122, IDCANCEL}}}, "Export Filename"},
        {"\"A.DC1\"", {{"Export", {IDOK}}, {"Export Filename", {IDCANCEL}}}, nullptr},
    };
    for (const auto& c : cancels) {
        const std::string what = std::string("Cancel on ") + c.steps.back().form;
        if (!c.files) postCommand(gui.main, 32006);
        bool walked = !c.files || chooseFiles(gui, dir, c.files);
        for (const Step& step : c.steps) {
            HWND form = walked ? waitForm(gui, step.form) : nullptr;
            walked = form && closeWith(form, step.buttons, std::string(step.form) + " closes");
        }
        if (!walked) continue;
        sync(gui.main);
        if (c.notAsked) check(!findWindow(gui.pid(), "#32770", c.notAsked), what + ": no " + c.notAsked + " form");
        check(filesIn(dir) == files, what + ": nothing written");
        check(noErrorBox(gui), what + ": no error shown");
    }

    // The inputs chosen again as outputs: the overwrite question is
    // answered Yes, and the program still refuses.
    const struct {
        const char* input;
        const char* options;  // the form answered with OK first
        const char* question;
    } refusals[] = {{"A.DC1", "Export", "Export Filename"}, {"C.ALM", "DISPLAY", "Alarm/Event Export Filename"}};
    for (const auto& refusal : refusals) {
        if (!chooseFiles(gui, dir, std::string("\"") + refusal.input + "\"")) continue;
        if (HWND options = waitWindow(gui.pid(), "#32770", refusal.options)) click(options, IDOK);
        HWND save = waitFileForm(gui, refusal.question);
        if (!save) continue;
        setItemText(save, 1148, dir + "\\" + refusal.input);
        PostMessageA(save, WM_COMMAND, IDOK, 0);
        // The platform asks before replacing a file; the box has the form's title.
        HWND question = waitWindow(gui.pid(), "#32770", refusal.question, LongWait, save);
        if (check(question != nullptr, std::string("replacing ") + refusal.input + " is asked")) {
            click(question, IDYES);
            waitGone(question);
        }
        const std::string text = takeErrorBox(gui);
        check(text.find("Export not written.") == 0 && text.find(refusal.input) != std::string::npos &&
                  text.find("is one of the recorder files being exported.") != std::string::npos,
              std::string("writing over ") + refusal.input + " is refused: \"" + text + "\"");
        sync(gui.main);
    }
    check(fileText(dir + "\\A.DC1") == data && fileText(dir + "\\C.ALM") == alarms, "the recorder files are unchanged");

    const std::string ini = dir + "\\wHarvex.ini";
    if (!exitGui(gui)) return;
    expectSettings(ini, "1 0 0 32", "after Cancel");
}

void recordHelpRequest(int argc, char** argv) {
    char log[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("HX_HELP_LOG", log, sizeof log)) return;
    std::ofstream out(log, std::ios::app);
    for (int i = 1; i < argc; ++i) out << argv[i] << (i + 1 < argc ? " " : "\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strncmp(argv[1], "file:", 5) == 0) {
        recordHelpRequest(argc, argv);
        return 0;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--gui") == 0) guiPath = argv[i + 1];
        if (std::strcmp(argv[i], "--harvex") == 0) harvexPath = argv[i + 1];
    }
    if (guiPath.empty() || harvexPath.empty()) {
        std::fprintf(stderr, "usage: harvex_gui_driver --gui PATH --harvex PATH\n");
        return 2;
    }
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    baseDir = cwd;

    const std::pair<const char*, void (*)()> scenarios[] = {
        {"start and single instance", startAndSingleInstance},
        {"About and help", aboutAndHelp},
        {"export, and bad files skipped", exportAndSkipBadFiles},
        {"cancel at each form", cancelAndRefuse},
    };
    const char* only = argc % 2 == 0 ? argv[argc - 1] : nullptr;  // a trailing word picks one scenario
    for (const auto& [name, run] : scenarios) {
        if (only && !std::strstr(name, only)) continue;
        std::printf("-- %s\n", name);
        std::fflush(stdout);
        const int failedBefore = failed;
        run();
        std::printf("   %s\n", failed == failedBefore ? "ok" : "FAILED");
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
