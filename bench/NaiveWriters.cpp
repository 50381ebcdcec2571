#include "NaiveWriters.h"

#include <cmath>

#include "app/AppSettings.h"

namespace bench {

namespace {

// "%4.2f" of the fraction without its first character.
void putFraction(std::FILE* out, std::int32_t ticks) {
    char text[32];
    std::snprintf(text, sizeof text, "%4.2f", ticks / 10000.0);
    std::fputs(text + 1, out);
}

void putValue(std::FILE* out, DataFileIter& it) {
    DataBlock* b = it.block();
    float reading = b->toEngineering(it.value());
    const UNITS& u = b->scale->units;
    const bool logarithmic = (u.flags & UNITS::Logarithmic) != 0;
    double x = logarithmic ? std::pow(10.0, double(reading)) : double(reading);
    if (x != 0 && (logarithmic || std::fabs(x) >= 1e8 || std::fabs(x) < 0.001))
        std::fprintf(out, ", %*.*g", 8, 2, x);
    else
        std::fprintf(out, ", %*.*f", 8, int(u.decimals), x);
}

}  // namespace

std::uint64_t naiveExportData(dFileIt* items, int count, CTime start, CTime end, std::FILE* out) {
    CTime cursor = end;
    for (int i = 0; i < count; ++i) {
        items[i].iter.seekTime(start);
        if (items[i].iter.time < cursor) cursor = items[i].iter.time;
    }
    bool hasData = false;
    for (int i = 0; i < count; ++i)
        if (items[i].iter.seekTime(cursor) != 0) hasData = true;
    if (!hasData) return 0;

    std::fprintf(out, "\"24 hour time\"");
    for (int i = 0; i < count; ++i) {
        const DataBlock* b = items[i].iter.block();
        std::fprintf(out, ",\"%s (%s)\"", items[i].file->header().text, b->scale->label);
    }
    std::fprintf(out, "\n");

    std::uint64_t rows = 0;
    for (;;) {
        TimeFields f = toFields(cursor);
        std::fprintf(out, "\"%02d/%02d/%4d %2.2d:%2.2d:%2.2d", f.month, f.day, f.year, f.hour, f.minute, f.second);
        putFraction(out, f.ticks);
        std::fprintf(out, "\"");
        for (int i = 0; i < count; ++i) putValue(out, items[i].iter);
        std::fprintf(out, "\n");
        ++rows;

        if (!(cursor < end)) break;
        bool more = false;
        cursor = end;
        for (int i = 0; i < count; ++i) {
            if (items[i].iter.advance(1) != 0) {
                more = true;
                if (items[i].iter.time < cursor) cursor = items[i].iter.time;
            }
        }
        if (!more) break;
        for (int i = 0; i < count; ++i)
            if (items[i].iter.time > cursor) items[i].iter.retreat(1);
    }
    return rows;
}

void naiveExportEvents(EventFile& file, std::FILE* out) {
    static const char* const messages[15] = {"Close   ", "Open    ", "False   ", "True    ", "Invalid ",
                                             "Overange", "Overflow", "TCBO    ", "Bypass  ", "High x  ",
                                             "Low  x  ", "Rate x  ", "Clear   ", "No Power", "Power On"};
    const bool dayFirst = (AppSettings.displayFlags & DisplayDayFirst) != 0;
    const bool time24 = (AppSettings.displayFlags & DisplayTime24) != 0;
    std::fprintf(out, "\"Date\",\"Time\",\"Point/Event\",\"Type\",\"Value\"\n");
    for (Event* e = file.cursor.first(); e; e = file.cursor.advance(1) ? file.cursor.current() : nullptr) {
        TimeFields f = toFields(e->time);
        if (dayFirst) std::fprintf(out, "%02d/%02d/%4d ,", f.day, f.month, f.year);
        else std::fprintf(out, "%02d/%02d/%4d ,", f.month, f.day, f.year);
        int h = f.hour;
        const char* suffix = "";
        if (!time24) {
            suffix = h >= 12 ? " pm" : " am";
            if (h > 12) h -= 12;
            if (h == 0) h = 12;
        }
        std::fprintf(out, "%2.2d:%2.2d:%2.2d%s", h, f.minute, f.second, suffix);
        const char point = "0123456789ABCDEF"[e->point & 15];
        const int code = e->code;
        if (code <= 12 || code == 66 || code == 67) {
            char text[9];
            std::snprintf(text, sizeof text, "%s", messages[code <= 12 ? code : code - 53]);
            for (char& c : text)
                if (c == 'x') {
                    c = static_cast<char>('0' + e->alarm);
                    break;
                }
            std::fprintf(out, ",%c,\"%s\",%10.3f\n", point, text, double(e->value));
        } else if (code == 64 || code == 65) {
            std::fprintf(out, ",\"%s: %d\",\"%s\"\n", "Event", e->point + 1, file.EventLabels.label(code - 64, e->point));
        } else if (code == 127) {
            std::fprintf(out, ",%c,\"%s\",%10.3f\n", point, "Reset", double(e->value));
        } else if (code >= 128 && code <= 131) {
            const char* peak = code == 129 ? "High Peak" : code == 131 ? "Low Peak" : "Peak Reset";
            std::fprintf(out, ",%c,\"%s:\",%10.3f\n", point, peak, double(e->value));
        } else {
            std::fprintf(out, ",\"%s: %d\"\n", "Unknown message", code);
        }
    }
}

}  // namespace bench
