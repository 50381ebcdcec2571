#include "events/EventExport.h"

#include <charconv>
#include <cstring>

#include "time/NumberText.h"
#include "time/TimeText.h"
#include "ui/UserNotice.h"

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
constexpr std::size_t WriteChunk = 64 * 1024;

int tableIndex(int code) {
    if (code >= 0 && code <= 12) return code;
    if (code == NoPower || code == PowerOn) return code - 53;
    return -1;
}

char pointChar(std::uint8_t point) { return "0123456789ABCDEF"[point & 0x0F]; }

void appendValue(std::string& out, float value) {
    char text[NumberTextMax];
    char* end = formatFixed(text, static_cast<double>(value), 10, 3);
    out.append(text, end);
}

void appendInt(std::string& out, int value) {
    char text[16];
    auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

// ",%c,\"%s\",%10.3f\n" and, with a colon, ",%c,\"%s:\",%10.3f\n"
void appendMeasured(std::string& out, const Event& e, const char* text, bool colon) {
    out += ',';
    out += pointChar(e.point);
    out += ",\"";
    out += text;
    if (colon) out += ':';
    out += "\",";
    appendValue(out, e.value);
    out += '\n';
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

bool writeAll(std::string& chunk, std::FILE* out) {
    bool ok = chunk.empty() || std::fwrite(chunk.data(), 1, chunk.size(), out) == chunk.size();
    chunk.clear();
    return ok;
}

}  // namespace

void formatEvent(const Event& e, const StateLabels& labels, std::string& out) {
    char text[TimeTextMax];
    char* end = formatTime(e.time, text, ShowDate | UseDisplayFlags);
    out.append(text, end);
    out += ',';
    end = formatTime(e.time, text, ShowTime | UseDisplayFlags);
    out.append(text, end);

    if (int index = tableIndex(e.code); index >= 0) {
        char message[MessageWidth + 1];
        std::memcpy(message, Messages[index], sizeof message);
        if (char* x = std::strchr(message, 'x')) *x = static_cast<char>('0' + (e.alarm & 0x0F));
        appendMeasured(out, e, message, false);
    } else if (e.code == InputLow || e.code == InputHigh) {
        out += ",\"Event: ";
        appendInt(out, e.point + 1);
        out += "\",\"";
        out += labels.label(e.code - InputLow, e.point);
        out += "\"\n";
    } else if (e.code == Reset) {
        appendMeasured(out, e, "Reset", false);
    } else if (const char* peak = peakMessage(e.code)) {
        appendMeasured(out, e, peak, true);
    } else {
        out += ",\"Unknown message: ";
        appendInt(out, e.code);
        out += "\"\n";
    }
}

bool writeEvents(EventFile& file, std::FILE* out) {
    std::string chunk;
    chunk.reserve(WriteChunk + 1024);
    chunk = EventHeaderLine;
    bool ok = true;
    for (Event* e = file.cursor.first(); e && ok;) {
        formatEvent(*e, file.EventLabels, chunk);
        if (chunk.size() >= WriteChunk) ok = writeAll(chunk, out);
        e = file.cursor.advance(1) ? file.cursor.current() : nullptr;
    }
    ok = ok && writeAll(chunk, out) && std::fflush(out) == 0;
    if (!ok) reportError("Error writing file.");
    return ok;
}

bool exportEvents(EventFile& file, const std::string& path) {
    beginBusy();
    std::FILE* out = std::fopen(path.c_str(), "wt");
    if (!out) {
        endBusy();
        reportError("Can't Open file.\n" + path);
        return false;
    }
    bool ok = writeEvents(file, out);
    // Closing can still fail to write what the runtime held back.
    if (std::fclose(out) != 0 && ok) {
        reportError("Error writing file.");
        ok = false;
    }
    endBusy();
    return ok;
}
