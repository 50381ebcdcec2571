// Writes the seed corpora of the fuzz targets with the test builder: valid
// files of every data type, scale and alarm records, breaks, gaps and
// wrapped rings, plus settings files and typed times. Usage:
//   make_fuzz_seeds OUTDIR     (makes OUTDIR/<target>/<seed>)
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RecorderFileBuilder.h"

namespace fs = std::filesystem;
using namespace testfile;

namespace {

fs::path outDir;
int written = 0;

void put(const char* target, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path dir = outDir / target;
    fs::create_directories(dir);
    writeFile((dir / name).string(), bytes);
    ++written;
}

void putText(const char* target, const std::string& name, const std::string& text) {
    put(target, name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

const std::uint64_t T0 = ticksAt(2021, 3, 14, 23, 59, 50);

BlockSpec block(std::uint64_t start, std::int32_t interval = 10000) {
    BlockSpec b;
    b.start = start;
    b.interval = interval;
    return b;
}

std::vector<std::uint16_t> ramp16(int n, int step = 997) {
    std::vector<std::uint16_t> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<std::uint16_t>(i * step));
    return v;
}

void dataSeeds() {
    const char* t = "data_file";
    {  // one block of each data type
        DataFileBuilder b;
        b.add(block(T0)).i16({-1234, 0, 1234, 32767, -32768});
        put(t, "type0-signed", b.build());
        b.blocks[0].u16(ramp16(40));
        put(t, "type1-unsigned", b.build());
        b.blocks[0].f32({0.5f, -2.25f, 1e9f, 1e-6f});
        put(t, "type2-float", b.build());
        b.blocks[0].u8({0, 60, 120, 180, 240, 245, 255});
        put(t, "type3-bytes", b.build());
    }
    {  // a chain with a continuation, a break, a gap in time and in bytes
        DataFileBuilder b;
        b.fileScale = ScaleSpec::of("DEG\x84" "C", -50.0f, 25.0f, 150.0f, 0x11);
        b.add(block(T0)).u16(ramp16(10));
        b.add(block(T0 + 10 * 10000)).u16(ramp16(10, 31)).startCode = 3;
        auto& third = b.add(block(T0 + 60 * 10000, -50));
        third.u16(ramp16(8, 5));
        third.startCode = 1;
        third.gapBefore = 7;
        b.add(block(T0 + 3600ull * 10000, 600000)).u16(ramp16(3));
        put(t, "chain-breaks-gaps", b.build());
    }
    {  // block scale and alarm records, mid-scale and logarithmic options
        DataFileBuilder b;
        b.fileAlarm.mask = 0x1F;
        for (auto& r : b.fileAlarm.records) r = {floatBits(10.0f), floatBits(90.0f), 2, 1};
        auto& first = b.add(block(T0));
        first.u16(ramp16(12));
        first.scale = ScaleSpec::of("MID", 0.0f, 75.0f, 100.0f, 0x40);
        auto& second = b.add(block(T0 + 12 * 10000));
        second.u8({1, 2, 3, 240});
        second.scale = ScaleSpec::of("LOG", -2.0f, 1.0f, 400.0f, 0x80);
        second.alarm = AlarmSpec{0x05, {}};
        auto& third = b.add(block(T0 + 20 * 10000));
        third.i16({5, -5});
        third.scale = ScaleSpec::of("FIX", 5.0f, 5.0f, 5.0f, 0x1F);
        put(t, "scales-alarms", b.build());
    }
    {  // checksum rules by version, and a bad checksum
        DataFileBuilder b;
        b.version = '1';
        b.revision = 121;
        b.add(block(T0)).u16(ramp16(6));
        b.add(block(T0 + 6 * 10000)).u16(ramp16(6)).badChecksum = true;
        put(t, "version1-checksum", b.build());
        b.version = '3';
        b.revision = 255;
        b.type = 1;
        put(t, "version3-unverified", b.build());
    }
    {  // intervals at and past the limits, a non-finite sample
        DataFileBuilder b;
        b.add(block(T0, 60000000)).u16(ramp16(3));
        b.add(block(T0 + 200000000ull, -600000)).u16(ramp16(3));
        b.add(block(T0 + 400000000ull, 0)).u16(ramp16(3));
        b.add(block(T0 + 500000000ull)).f32bits({0x7F800000u, floatBits(1.0f), 0x7FC00000u});
        put(t, "interval-limits", b.build());
    }
    {  // many blocks, and the same file cut short
        DataFileBuilder b;
        for (int i = 0; i < 24; ++i) b.add(block(T0 + std::uint64_t(i) * 40 * 10000)).u16(ramp16(40, i + 1));
        std::vector<std::uint8_t> bytes = b.build();
        put(t, "many-blocks", bytes);
        bytes.resize(bytes.size() / 2 + 5);
        put(t, "many-blocks-cut", bytes);
    }
    {  // a corrupt back address and a dropped empty block
        DataFileBuilder b;
        b.add(block(T0)).u16(ramp16(4));
        b.add(block(T0 + 4 * 10000)).u16(ramp16(4)).prev = 12345;
        auto& empty = b.add(block(T0 + 8 * 10000));
        empty.byteCount = 1;
        b.add(block(T0 + 12 * 10000)).u16(ramp16(4));
        put(t, "corrupt-back-address", b.build());
    }
}

std::vector<EventSpec> someEvents(int n) {
    static const int Codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 64, 65, 66, 67, 127, 128, 129, 130, 131, 200};
    std::vector<EventSpec> v;
    for (int i = 0; i < n; ++i)
        v.push_back(EventSpec::of(T0 + std::uint64_t(i) * 12345, i % 9, i % 16, Codes[i % 23], 1.5f * float(i)));
    return v;
}

void eventSeeds() {
    const char* t = "event_file";
    EventFileBuilder b;
    b.labels = {{"Pump on", "Pump off"}, {"", "          "}, {"Door", "Shut"}};
    b.linear(someEvents(23));
    put(t, "linear", b.build());
    b.wrapped(10, 6, someEvents(8));
    put(t, "wrapped", b.build());
    b.wrapped(10, 3, someEvents(10));
    put(t, "full-ring", b.build());
    b.linear({});
    put(t, "empty-ring", b.build());
    b.type = 5;
    b.labels.assign(9, {"In", "Out"});
    b.linear(someEvents(5));
    put(t, "type5-nine-inputs", b.build());
}

void settingsSeeds() {
    const char* t = "settings_ini";
    putText(t, "defaults",
            "[export]\nTime Format=1\nDate Format=0\nInterval=0\n\n[misc]\nTime Format=32\n\n[card]\n"
            "Use recorder=488\n\n[serial link]\nPortCommPort=1\nBaud=1\nComPort=1\n");
    putText(t, "special-crlf",
            "[Special]\r\nDebug=1\r\nTitle1=\"A title that is far longer than the forty characters kept\"\r\n"
            "Company=Co\r\n\r\n[EXPORT]\r\n time format = 3 \r\nInterval=9\r\n[card]\r\nUse recorder=0x48A\r\n");
    putText(t, "odd-values",
            "; comment\n[serial link]\nComPort=-3\nPortCommPort=7\nBaud=300\n[card]\nUse recorder=zz\n[misc]\n"
            "Time Format=0x40\n[export]\nDate Format=\nTime Format='2'\n[export]\nInterval=5");
    putText(t, "empty", "");
}

// The time target reads: display bits, ticks, flags, eight fields, texts.
void timeSeed(const std::string& name, std::uint8_t display, std::uint64_t ticks, std::uint16_t flags,
              std::vector<std::int32_t> fields, const std::string& timeText, const std::string& dateText) {
    Bytes out;
    out.u8(display);
    out.u32(static_cast<std::uint32_t>(ticks >> 32));
    out.u32(static_cast<std::uint32_t>(ticks));
    out.u16(flags);
    fields.resize(8);
    for (std::int32_t f : fields) out.u32(static_cast<std::uint32_t>(f));
    out.text(timeText, timeText.size());
    out.u8(0);
    out.text(dateText, dateText.size());
    put("time_text", name, out.data);
}

void timeSeeds() {
    // ticks, second, minute, hour, day, weekday, month, year
    timeSeed("form-24h", 0, T0, 0x2B, {5000, 59, 59, 23, 31, 5, 12, 1999}, "23:59:59", "12/31/1999 ");
    timeSeed("form-dayfirst", 1, ticksAt(2004, 2, 29), 0x4D, {0, 0, 30, 0, 5, 1, 3, 2001}, "24:00:00", "29/02/2100 ");
    timeSeed("elapsed", 2, 123ull * 864000000ull, 0x11, {2500, 4, 3, 2, 1, 0, 0, 0}, "1a:60:00", "02/30/2004 ");
    timeSeed("date-after-12h", 0, ticksAt(2001, 3, 5, 14, 5), 0x8B, {-1, -61, 99, 25, -7, 9, 13, -5}, "07:08:09",
             "01/01/04");
    timeSeed("long-date", 3, ticksAt(2168, 6, 6, 12), 0x0F, {9999, 0, 0, 12, 2147483647, 6, 0, -2147483647 - 1},
             "", "13/01/2004 ");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    outDir = argv[1];
    dataSeeds();
    eventSeeds();
    settingsSeeds();
    timeSeeds();
    std::printf("%d seeds written under %s\n", written, outDir.string().c_str());
    return 0;
}
