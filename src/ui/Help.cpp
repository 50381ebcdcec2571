#include "ui/Help.h"

#include <shellapi.h>

#include <cstdio>

#include "app/Settings.h"
#include "notice/UserNotice.h"

namespace {

constexpr const char* HtmlHelpName = "wHarvex.htm";
// How long a viewer just started has to fail before it counts as open.
constexpr DWORD LauncherWaitMs = 1500;

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string directoryOf(const std::string& path) {
    const auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string programPath() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

// Starts a program (or opens a document with its program); true when it
// started and did not fail at once, as a launcher does that cannot show
// the address it was given.
bool launched(HWND owner, const std::string& file, const std::string& parameters) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = "open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) return false;
    if (!info.hProcess) return true;  // handed to a program already running
    DWORD code = 0;
    const bool failed = WaitForSingleObject(info.hProcess, LauncherWaitMs) == WAIT_OBJECT_0 &&
                        GetExitCodeProcess(info.hProcess, &code) && code != 0;
    CloseHandle(info.hProcess);
    return !failed;
}

// The program the platform opens HTML files with, given the address with
// the topic's anchor (opening the file itself would drop it). Some
// launchers refuse an anchor on a file address: then the page opens at its
// top, and failing that as the platform opens the file.
bool openHtmlAt(HWND owner, const std::string& path, int topic) {
    char browser[MAX_PATH] = {};
    const std::string url = htmlHelpUrl(path, topic);
    const auto quoted = [](const std::string& s) { return std::string(1, '"').append(s).append(1, '"'); };
    if (reinterpret_cast<INT_PTR>(FindExecutableA(path.c_str(), nullptr, browser)) > 32 && browser[0]) {
        if (launched(owner, browser, quoted(url))) return true;
        if (launched(owner, browser, quoted(url.substr(0, url.find('#'))))) return true;
    }
    return launched(owner, path, "");
}

}  // namespace

HelpChoice chooseHelp(const std::string& hlpPath, const std::vector<std::string>& htmlPaths,
                      const std::function<bool(const std::string&)>& exists) {
    if (!hlpPath.empty() && exists(hlpPath)) return {HelpChoice::WinHelp, hlpPath};
    std::string tried = hlpPath;
    for (const std::string& html : htmlPaths) {
        if (html.empty()) continue;
        if (exists(html)) return {HelpChoice::Html, html};
        tried += (tried.empty() ? "" : "\n") + html;
    }
    return {HelpChoice::Missing, tried};
}

std::vector<std::string> htmlHelpCandidates(const std::string& hlpPath, const std::string& program) {
    std::vector<std::string> paths;
    if (!hlpPath.empty()) paths.push_back(directoryOf(hlpPath) + HtmlHelpName);
    if (!program.empty()) {
        std::string beside = directoryOf(program) + HtmlHelpName;
        if (paths.empty() || paths.front() != beside) paths.push_back(beside);
    }
    return paths;
}

std::string htmlHelpUrl(const std::string& path, int topic) {
    std::string url = "file:///";
    for (unsigned char c : path) {
        if (c == '\\') {
            url += '/';
        } else if (c <= ' ' || c == '#' || c == '%' || c == '?' || c == '"' || c >= 0x7F) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            url += escaped;
        } else {
            url += static_cast<char>(c);
        }
    }
    return url + "#topic" + std::to_string(topic);
}

void showHelp(HWND owner, int topic) {
    const HelpChoice choice = chooseHelp(helpPath, htmlHelpCandidates(helpPath, programPath()), fileExists);
    switch (choice.kind) {
    case HelpChoice::WinHelp:
        if (WinHelpA(owner, choice.path.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(topic))) return;
        break;
    case HelpChoice::Html:
        if (openHtmlAt(owner, choice.path, topic)) return;
        break;
    case HelpChoice::Missing:
        showError("Help file not found.\n" + choice.path);
        return;
    }
    showError("Can't open the help file.\n" + choice.path + "\nNo program could show it.");
}
