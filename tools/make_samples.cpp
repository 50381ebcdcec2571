// Writes the sample recordings that `make demo` exports: two channels at
// different rates (16-bit fixed point and float), a scale change in a later
// block, a gap and a break between blocks, and an alarm/event file.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/RecorderFileBuilder.h"

using namespace testfile;

namespace {

// Fixed-point readings around 21.5 degrees with `places` decimals.
std::vector<std::int16_t> temperatures(int n, double phase, int places = 2) {
    const double unit = places == 2 ? 100.0 : 10.0;
    std::vector<std::int16_t> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<std::int16_t>(std::lround((21.5 + 3.4 * std::sin((i + phase) / 90.0)) * unit)));
    return v;
}

std::vector<float> flows(int n, double phase) {
    std::vector<float> v;
    for (int i = 0; i < n; ++i) v.push_back(static_cast<float>(12.5 + 3.25 * std::cos((i + phase) / 17.0)));
    return v;
}

void tank(const std::string& dir) {
    DataFileBuilder f;
    f.ident = "TANK 1";
    f.fileScale = ScaleSpec::of("TEMP\x84" "C", 0.0f, 50.0f, 100.0f, 0x12);
    const std::uint64_t t0 = ticksAt(2026, 3, 14, 9, 58, 0);
    BlockSpec a;
    a.start = t0;
    a.interval = 10000;  // 1 s
    a.startCode = 1;
    a.i16(temperatures(300, 0));
    f.add(a);
    // Continues the recording with a new scale: one decimal place.
    BlockSpec b;
    b.start = t0 + 300ull * 10000;
    b.interval = 10000;
    b.startCode = 2;
    b.scale = ScaleSpec::of("TEMP\x84" "C", 0.0f, 50.0f, 100.0f, 0x11);
    b.i16(temperatures(240, 300, 1));
    f.add(b);
    // After a break of ten minutes the recorder starts again.
    BlockSpec c;
    c.start = t0 + 540ull * 10000 + 600ull * 10000;
    c.interval = 10000;
    c.startCode = 1;
    c.i16(temperatures(420, 1140, 1));
    f.add(c);
    writeFile(dir + "/TANK1.DC1", f.build());
}

void flow(const std::string& dir) {
    DataFileBuilder f;
    f.version = '5';
    f.revision = 3;
    f.ident = "LINE A";
    f.fileScale = ScaleSpec::of("m3/h", 0.0f, 10.0f, 20.0f);
    const std::uint64_t t0 = ticksAt(2026, 3, 14, 9, 59, 30);
    BlockSpec a;
    a.start = t0;
    a.interval = 50000;  // 5 s
    a.startCode = 1;
    a.f32(flows(120, 0));
    f.add(a);
    // A gap of two minutes, then the recording goes on.
    BlockSpec b;
    b.start = t0 + 120ull * 50000 + 120ull * 10000;
    b.interval = 50000;
    b.startCode = 2;
    b.f32(flows(100, 144));
    f.add(b);
    writeFile(dir + "/FLOW2.DC2", f.build());
}

void alarms(const std::string& dir) {
    EventFileBuilder f;
    f.ident = "ALARMS";
    f.labels = {{"Pump off", "Pump on"}, {"", ""}, {"Door open", "Door shut"}};
    const std::uint64_t t0 = ticksAt(2026, 3, 14, 9, 58, 12);
    std::vector<EventSpec> events = {
        EventSpec::of(t0, 0, 0, 67, 0.0f),
        EventSpec::of(t0 + 95ull * 10000, 1, 1, 9, 24.375f),
        EventSpec::of(t0 + 130ull * 10000, 0, 0, 65, 0.0f),
        EventSpec::of(t0 + 402ull * 10000, 1, 1, 12, 23.9f),
        EventSpec::of(t0 + 611ull * 10000, 2, 0, 64, 0.0f),
        EventSpec::of(t0 + 700ull * 10000, 3, 2, 10, -1.5f),
        EventSpec::of(t0 + 1021ull * 10000, 11, 0, 129, 27.125f),
        EventSpec::of(t0 + 1500ull * 10000, 0, 0, 66, 0.0f),
    };
    // The ring has wrapped: the oldest record sits in the middle.
    f.wrapped(10, 6, events);
    writeFile(dir + "/ALARMS.ALM", f.build());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    tank(dir);
    flow(dir);
    alarms(dir);
    std::printf("wrote %s/TANK1.DC1, %s/FLOW2.DC2, %s/ALARMS.ALM\n", dir.c_str(), dir.c_str(), dir.c_str());
    return 0;
}
