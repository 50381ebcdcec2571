#pragma once
// Opens the help at a topic. The .hlp file of the settings directory goes
// to the platform's help viewer as before; current systems have no viewer
// for it, so without it the program's HTML help opens at the topic's
// anchor in the user's browser.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct HelpChoice {
    enum Kind { WinHelp, Html, Missing };
    Kind kind = Missing;
    std::string path;  // the file to open; for Missing, every path looked at
};

// The .hlp file when it exists, else the first HTML file that exists.
HelpChoice chooseHelp(const std::string& hlpPath, const std::vector<std::string>& htmlPaths,
                      const std::function<bool(const std::string&)>& exists);

// The HTML help beside the settings file, then beside the program.
std::vector<std::string> htmlHelpCandidates(const std::string& hlpPath, const std::string& programPath);

// "file:///C:/dir/wHarvex.htm#topic2" for a Windows path.
std::string htmlHelpUrl(const std::string& path, int topic);

// Opens the help at the topic, or shows an error naming the paths tried.
void showHelp(HWND owner, int topic);
