#include "Recordings.h"

#include <cmath>
#include <fstream>
#include <iterator>

#include "support/RecorderFileBuilder.h"

using namespace testfile;

namespace drive {

namespace {

std::vector<std::int16_t> wave(int n, double phase) {
    std::vector<std::int16_t> v;
    for (int i = 0; i < n; ++i)
        v.push_back(static_cast<std::int16_t>(std::lround((61.5 + 7.25 * std::sin((i + phase) / 37.0)) * 10)));
    return v;
}

DataFileBuilder boiler() {
    DataFileBuilder f;
    f.ident = "BOILER";
    f.fileScale = ScaleSpec::of("DEG C", 0.0f, 50.0f, 100.0f, 0x11);
    const std::uint64_t t0 = ticksAt(2004, 3, 5, 10, 15, 0);
    BlockSpec a;
    a.start = t0;
    a.interval = 100000;
    a.startCode = 1;
    a.i16(wave(600, 0));
    f.add(a);
    BlockSpec b;
    b.start = t0 + 600ull * 100000;
    b.interval = 100000;
    b.startCode = 2;
    b.i16(wave(400, 600));
    f.add(b);
    return f;
}

}  // namespace

void writeBoiler(const std::string& path) { writeFile(path, boiler().build()); }

void writeFlow(const std::string& path) {
    DataFileBuilder f;
    f.version = '5';
    f.revision = 3;
    f.ident = "FLOW";
    f.fileScale = ScaleSpec::of("m3/h", 0.0f, 10.0f, 20.0f);
    BlockSpec a;
    a.start = ticksAt(2004, 3, 5, 10, 40, 0);
    a.interval = 300000;
    a.startCode = 1;
    std::vector<float> v;
    for (int i = 0; i < 300; ++i) v.push_back(static_cast<float>(12.5 + 3.25 * std::cos(i / 17.0)));
    a.f32(v);
    f.add(a);
    writeFile(path, f.build());
}

void writeAlarms(const std::string& path) {
    EventFileBuilder f;
    f.labels = {{"Burner off", "Burner on"}, {"", ""}, {"Door open", "Door shut"}};
    const std::uint64_t t0 = ticksAt(2004, 3, 5, 9, 58, 12);
    const std::vector<EventSpec> events = {
        EventSpec::of(t0, 0, 0, 67, 0.0f),
        EventSpec::of(t0 + 95ull * 10000, 1, 1, 9, 64.375f),
        EventSpec::of(t0 + 130ull * 10000, 0, 0, 65, 0.0f),
        EventSpec::of(t0 + 7402ull * 10000, 1, 1, 12, 63.9f),
        EventSpec::of(t0 + 9611ull * 10000, 2, 0, 64, 0.0f),
        EventSpec::of(t0 + 10700ull * 10000, 3, 2, 10, -1.5f),
        EventSpec::of(t0 + 11021ull * 10000, 11, 0, 129, 67.125f),
    };
    f.wrapped(9, 4, events);
    writeFile(path, f.build());
}

void writeTypeTwo(const std::string& path) {
    DataFileBuilder f = boiler();
    f.type = 2;
    writeFile(path, f.build());
}

void writeTruncated(const std::string& path) {
    const DataFileBuilder f = boiler();
    std::vector<std::uint8_t> bytes = f.build();
    bytes.resize(f.headerSize() + 24);
    writeFile(path, bytes);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace drive
