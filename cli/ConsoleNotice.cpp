#include "ConsoleNotice.h"

#include <cstdio>

#include "export/TextEncoding.h"

int ConsoleNotice::messageBox(const std::string& text, const std::string& caption, unsigned type) {
    std::string line = text;
    while (!line.empty() && line.back() == '\n') line.pop_back();
    for (char& c : line)
        if (c == '\n') c = ' ';
    error(caption == ErrorCaption || caption.empty() ? line : caption + ": " + line);
    return (type & BoxType::YesNo) ? BoxAnswer::No : BoxAnswer::Ok;
}

void ConsoleNotice::beginFile(const std::string& path) {
    current_ = path;
    fileErrors_ = 0;
}

void ConsoleNotice::progress(const std::string& text) {
    endProgress();
    std::fprintf(stderr, "%s", text.c_str());
    std::fflush(stderr);
    progressWidth_ = text.size();
}

void ConsoleNotice::endProgress() {
    if (progressWidth_ == 0) return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(progressWidth_), "");
    progressWidth_ = 0;
}

void ConsoleNotice::error(const std::string& text) {
    endProgress();
    ++fileErrors_;
    ++totalErrors_;
    // A reader names the file it is loading; otherwise the command's own.
    const char* source = NoticeSource::current();
    std::string prefix = source ? source : current_;
    std::string line = prefix.empty() ? toUtf8(text) : prefix + ": " + toUtf8(text);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

std::string toUtf8(const std::string& in) { return windows1252ToUtf8(in, true); }
