#include "CommandSupport.h"

#include <cstdio>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#define HX_ISATTY _isatty
#define HX_FILENO _fileno
#else
#include <unistd.h>
#define HX_ISATTY isatty
#define HX_FILENO fileno
#endif

#include "storage/DISK.h"

std::unique_ptr<File> openRecorderPath(const std::string& path) {
    auto file = std::make_unique<File>(std::make_unique<DISK>(path));
    if (!identifyFile(*file)) return nullptr;
    return file;
}

std::optional<CTime> parseLocalTime(const std::string& text) {
    int y, mo, d, h = 0, mi = 0, s = 0;
    char sep = ' ';
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &used) != 3) return std::nullopt;
    if (static_cast<std::size_t>(used) != text.size()) {
        int more = 0;
        if (std::sscanf(text.c_str() + used, "%c%2d:%2d:%2d%n", &sep, &h, &mi, &s, &more) != 4 || (sep != ' ' && sep != 'T') ||
            static_cast<std::size_t>(used + more) != text.size())
            return std::nullopt;
    }
    static const int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    if (y < 1989 || y > 2100 || mo < 1 || mo > 12 || d < 1 || d > monthDays[mo - 1] || (mo == 2 && d == 29 && !leap) ||
        h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0)
        return std::nullopt;
    TimeFields f;
    f.year = y;
    f.month = mo;
    f.day = d;
    f.hour = h;
    f.minute = mi;
    f.second = s;
    return fromFields(f);
}

bool stderrIsTerminal() { return HX_ISATTY(HX_FILENO(stderr)) != 0; }

void binaryStdout() {
#if defined(_WIN32)
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}
