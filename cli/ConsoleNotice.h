#pragma once
// Messages of the core on the console: each goes to stderr as one line,
// prefixed by the file being worked on, and counts as an error of that
// file. Questions are answered No: a script is never prompted.
#include <string>

#include "notice/UserNotice.h"

class ConsoleNotice : public UserNotice {
public:
    int messageBox(const std::string& text, const std::string& caption, unsigned type) override;
    void setBusy(bool) override {}

    // The file that later messages belong to; resets its error count.
    void beginFile(const std::string& path);
    int fileErrors() const { return fileErrors_; }
    int totalErrors() const { return totalErrors_; }
    // A message of the command-line tool itself about the current file.
    void error(const std::string& text);
    // A line of progress on the terminal, drawn over itself; a message
    // wipes it first. The caller decides whether there is a terminal.
    void progress(const std::string& text);
    void endProgress();

private:
    std::size_t progressWidth_ = 0;
    std::string current_;
    int fileErrors_ = 0;
    int totalErrors_ = 0;
};

// The file's text bytes (Windows-1252, as the recorder symbols translate)
// as UTF-8 for the terminal and JSON.
std::string toUtf8(const std::string& windows1252);
