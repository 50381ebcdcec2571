#include "ConsoleNotice.h"

#include <cstdio>

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

void ConsoleNotice::error(const std::string& text) {
    ++fileErrors_;
    ++totalErrors_;
    // A reader names the file it is loading; otherwise the command's own.
    const char* source = NoticeSource::current();
    std::string prefix = source ? source : current_;
    std::string line = prefix.empty() ? toUtf8(text) : prefix + ": " + toUtf8(text);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

std::string toUtf8(const std::string& in) {
    // 0x80..0x9F of Windows-1252; 0 marks bytes it leaves undefined.
    static const char16_t high[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
                                      0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
    std::string out;
    for (unsigned char c : in) {
        unsigned cp = c;
        if (c >= 0x80 && c < 0xA0) cp = high[c - 0x80] ? high[c - 0x80] : 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}
