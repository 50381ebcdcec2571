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

#include "ConsoleNotice.h"
#include "storage/DISK.h"

std::unique_ptr<File> openRecorderPath(const std::string& path) {
    auto file = std::make_unique<File>(std::make_unique<DISK>(path));
    if (!identifyFile(*file)) return nullptr;
    return file;
}

std::unique_ptr<File> openRecorderOf(RecorderKind kind, const std::string& path, ConsoleNotice& notice) {
    std::unique_ptr<File> file = openRecorderPath(path);
    if (!file) return nullptr;
    const GeneralHeader& h = file->header;
    if (kind == RecorderKind::Data ? h.isDataFile() : h.isEventFile()) return file;
    if (kind == RecorderKind::Data && h.isEventFile())
        notice.error("an alarm/event file, not a data file: 'harvex events' exports it");
    else if (kind == RecorderKind::Events && h.isDataFile())
        notice.error("a data file, not an alarm/event file: 'harvex export' exports it");
    else
        notice.error("Bad Type");
    return nullptr;
}

std::unique_ptr<DataFile> openDataFile(const std::string& path, ConsoleNotice& notice) {
    notice.beginFile(path);
    std::unique_ptr<File> file = openRecorderOf(RecorderKind::Data, path, notice);
    if (!file) return nullptr;
    auto df = std::make_unique<DataFile>(std::move(file));
    df->open();
    return df->hasBlocks() ? std::move(df) : nullptr;
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
    if (y < 1989 || y > 2100 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 ||
        s > 59)
        return std::nullopt;
    const CTime t = fromFields(calendarFields(y, mo, d, h, mi, s));
    // A day the month does not have (31 April, 29 February of a common
    // year) comes back as another date.
    const TimeFields back = toFields(t);
    if (back.day != d || back.month != mo || back.year != y) return std::nullopt;
    return t;
}

std::string parseSpanOptions(const std::string& startText, const std::string& endText, std::optional<CTime>& start,
                             std::optional<CTime>& end) {
    const auto problem = [](const char* option, const std::string& text) {
        return std::string(option) + ": \"" + text + "\" is not a local time \"YYYY-MM-DD HH:MM:SS\" from 1989 on";
    };
    if (!startText.empty() && !(start = parseLocalTime(startText))) return problem("--start", startText);
    if (!endText.empty() && !(end = parseLocalTime(endText))) return problem("--end", endText);
    return {};
}

bool stderrIsTerminal() { return HX_ISATTY(HX_FILENO(stderr)) != 0; }

void binaryStdout() {
#if defined(_WIN32)
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}
