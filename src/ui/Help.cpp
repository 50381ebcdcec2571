#include "ui/Help.h"

#include <shellapi.h>

#include <cstdio>

#include "app/Settings.h"
#include "notice/UserNotice.h"

namespace {

constexpr const char* HtmlHelpName = "wHarvex.htm";

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

// Starts the program the platform opens HTML files with, giving it the
// URL with the topic's anchor (opening the file itself would drop it).
bool openHtmlAt(HWND owner, const std::string& path, int topic) {
    char browser[MAX_PATH] = {};
    const std::string url = htmlHelpUrl(path, topic);
    if (reinterpret_cast<INT_PTR>(FindExecutableA(path.c_str(), nullptr, browser)) > 32 && browser[0]) {
        const std::string quoted = "\"" + url + "\"";
        if (reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", browser, quoted.c_str(), nullptr, SW_SHOWNORMAL)) > 32)
            return true;
    }
    return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
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
    showError("Can't open the help file.\n" + choice.path);
}
