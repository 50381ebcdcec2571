#include "events/EventExport.h"

#include <charconv>
#include <cstring>
#include <memory>
#include <vector>

#include "export/ReplacingFile.h"
#include "notice/UserNotice.h"
#include "time/NumberText.h"
#include "time/TimeText.h"

namespace {

// Event codes that are not indices of the message table.
constexpr int InputLow = 64;
constexpr int InputHigh = 65;
constexpr int NoPower = 66;
constexpr int PowerOn = 67;
constexpr int Reset = 127;
constexpr int PeakReset = 128;
constexpr int HighPeak = 129;
constexpr int PeakResetLow = 130;
constexpr int LowPeak = 131;

constexpr int MessageWidth = 8;
// Fixed-width texts; the first 'x' stands for the alarm number.
const char Messages[15][MessageWidth + 1] = {
    "Close   ", "Open    ", "False   ", "True    ", "Invalid ", "Overange", "Overflow", "TCBO    ",
    "Bypass  ", "High x  ", "Low  x  ", "Rate x  ", "Clear   ", "No Power", "Power On",
};

// Lines are collected up to this size before each write.
constexpr std::size_t WriteChunk = 256 * 1024;
// Room for any line: the date and time texts, the longest value, a label
// of 10 characters and the fixed parts.
constexpr std::size_t LineMax = 2 * TimeTextMax + NumberTextMax + 64;

int tableIndex(int code) {
    if (code >= 0 && code <= 12) return code;
    if (code == NoPower || code == PowerOn) return code - 53;
    return -1;
}

char pointChar(std::uint8_t point) { return "0123456789ABCDEF"[point & 0x0F]; }

char* putText(char* p, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(p, text, n);
    return p + n;
}

// ",%c,\"%s\",%10.3f\n" and, with a colon, ",%c,\"%s:\",%10.3f\n"
char* putMeasured(char* p, const Event& e, const char* text, std::size_t length, bool colon) {
    *p++ = ',';
    *p++ = pointChar(e.point);
    *p++ = ',';
    *p++ = '"';
    std::memcpy(p, text, length);
    p += length;
    if (colon) *p++ = ':';
    *p++ = '"';
    *p++ = ',';
    p = formatFixed(p, static_cast<double>(e.value), 10, 3);
    *p++ = '\n';
    return p;
}

const char* peakMessage(int code) {
    switch (code) {
    case PeakReset:
    case PeakResetLow: return "Peak Reset";
    case HighPeak: return "High Peak";
    case LowPeak: return "Low Peak";
    default: return nullptr;
    }
}

// Composes event lines straight into the output; the date text is made
// again only when the day changes and the time text when the second does.
class LineWriter {
public:
    LineWriter() : date_(ShowDate | UseDisplayFlags), time_(ShowTime | UseDisplayFlags) {}
    // Writes the line, with its "\n", at out (LineMax bytes); returns its end.
    char* put(const Event& e, const StateLabels& labels, char* out);

private:
    TimeTextCache date_;
    TimeTextCache time_;
};

char* LineWriter::put(const Event& e, const StateLabels& labels, char* out) {
    char* p = date_.format(e.time, out);
    *p++ = ',';
    p = time_.format(e.time, p);

    if (int index = tableIndex(e.code); index >= 0) {
        char message[MessageWidth + 1];
        std::memcpy(message, Messages[index], sizeof message);
        if (char* x = std::strchr(message, 'x')) *x = static_cast<char>('0' + (e.alarm & 0x0F));
        return putMeasured(p, e, message, MessageWidth, false);
    }
    if (e.code == InputLow || e.code == InputHigh) {
        p = putText(p, ",\"Event: ");
        p = std::to_chars(p, p + 16, e.point + 1).ptr;
        p = putText(p, "\",\"");
        p = putText(p, labels.label(e.code - InputLow, e.point));
        return putText(p, "\"\n");
    }
    if (e.code == Reset) return putMeasured(p, e, "Reset", 5, false);
    if (const char* peak = peakMessage(e.code)) return putMeasured(p, e, peak, std::strlen(peak), true);
    p = putText(p, ",\"Unknown message: ");
    p = std::to_chars(p, p + 16, static_cast<int>(e.code)).ptr;
    return putText(p, "\"\n");
}

}  // namespace

void formatEvent(const Event& e, const StateLabels& labels, std::string& out) {
    char line[LineMax];
    LineWriter writer;
    out.append(line, writer.put(e, labels, line));
}

namespace {

// The fields of an event's line: the label of an input event comes last.
std::size_t fieldCount(const Event& e) {
    if (e.code == InputLow || e.code == InputHigh) return 4;
    return tableIndex(e.code) >= 0 || e.code == Reset || peakMessage(e.code) ? 5 : 3;
}

bool writeRewritten(EventFile& file, std::FILE* out, CsvRewriter& dialect) {
    std::string text;
    dialect.startFile(text);
    dialect.header({"Date", "Time", "Point/Event", "Type", "Value"}, text);
    char line[LineMax];
    LineWriter writer;
    bool ok = true;
    for (Event* e = file.cursor.first(); e && ok;) {
        const char* end = writer.put(*e, file.EventLabels, line);
        dialect.line(std::string_view(line, static_cast<std::size_t>(end - line) - 1), fieldCount(*e), text);
        if (text.size() >= WriteChunk) {
            ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
            text.clear();
        }
        e = file.cursor.advance(1) ? file.cursor.current() : nullptr;
    }
    ok = ok && (text.empty() || std::fwrite(text.data(), 1, text.size(), out) == text.size()) && std::fflush(out) == 0;
    return ok;
}

}  // namespace

bool writeEvents(EventFile& file, std::FILE* out, CsvRewriter* dialect) {
    if (dialect) return writeRewritten(file, out, *dialect);
    // Left unfilled, and no larger than the lines can need: a short export
    // should not map and drop a quarter megabyte.
    const std::size_t lines = std::size_t(file.count) + 2;  // the header and an empty ring's placeholder
    const std::size_t room = lines < WriteChunk / LineMax ? lines * LineMax : WriteChunk;
    auto chunk = std::make_unique_for_overwrite<char[]>(room + LineMax);
    std::size_t used = std::strlen(EventHeaderLine);
    std::memcpy(chunk.get(), EventHeaderLine, used);
    LineWriter writer;
    bool ok = true;
    for (Event* e = file.cursor.first(); e && ok;) {
        used = static_cast<std::size_t>(writer.put(*e, file.EventLabels, chunk.get() + used) - chunk.get());
        if (used >= room) {
            ok = std::fwrite(chunk.get(), 1, used, out) == used;
            used = 0;
        }
        e = file.cursor.advance(1) ? file.cursor.current() : nullptr;
    }
    ok = ok && (used == 0 || std::fwrite(chunk.get(), 1, used, out) == used) && std::fflush(out) == 0;
    return ok;
}

bool exportEvents(EventFile& file, const std::string& path, CsvRewriter* dialect) {
    beginBusy();
    ReplacingFile output;
    std::FILE* out = output.open(path, dialect ? "wb" : "wt");
    if (!out) {
        endBusy();
        reportError("Can't Open file.\n" + path);
        return false;
    }
    // Closing and renaming can still fail to write what the runtime held back.
    const bool ok = writeEvents(file, out, dialect) && output.commit();
    if (!ok) reportError("Error writing file.\n" + path);
    endBusy();
    return ok;
}
