#pragma once
// The recorder files the end-to-end scenarios choose in the program.
#include <cmath>
#include <string>
#include <vector>

#include "support/RecorderFileBuilder.h"

namespace drive {

using namespace testfile;

// Two channels of different rates on 5 March 2004: BOILER from 10:15:00
// every 10 s to 13:01:30 (two blocks), FLOW from 10:40:00 every 30 s to
// 13:09:30.
inline DataFileBuilder boiler() {
    auto wave = [](int n, double phase) {
        std::vector<std::int16_t> v;
        for (int i = 0; i < n; ++i)
            v.push_back(static_cast<std::int16_t>(std::lround((61.5 + 7.25 * std::sin((i + phase) / 37.0)) * 10)));
        return v;
    };
    DataFileBuilder f;
    f.ident = "BOILER";
    f.fileScale = ScaleSpec::of("DEG C", 0.0f, 50.0f, 100.0f, 0x11);
    for (int part = 0; part < 2; ++part) {
        BlockSpec b;
        b.start = ticksAt(2004, 3, 5, 10, 15, 0) + part * 600ull * 100000;
        b.interval = 100000;
        b.startCode = static_cast<std::uint8_t>(part + 1);
        b.i16(wave(part ? 400 : 600, part * 600));
        f.add(b);
    }
    return f;
}

inline void writeBoiler(const std::string& path) { writeFile(path, boiler().build()); }

inline void writeFlow(const std::string& path) {
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

// Alarm/event file with input labels and a wrapped ring.
inline void writeAlarms(const std::string& path) {
    EventFileBuilder f;
    f.labels = {{"Burner off", "Burner on"}, {"", ""}, {"Door open", "Door shut"}};
    const std::uint64_t t0 = ticksAt(2004, 3, 5, 9, 58, 12);
    f.wrapped(9, 4,
              {EventSpec::of(t0, 0, 0, 67, 0.0f), EventSpec::of(t0 + 95ull * 10000, 1, 1, 9, 64.375f),
               EventSpec::of(t0 + 130ull * 10000, 0, 0, 65, 0.0f), EventSpec::of(t0 + 7402ull * 10000, 1, 1, 12, 63.9f),
               EventSpec::of(t0 + 9611ull * 10000, 2, 0, 64, 0.0f), EventSpec::of(t0 + 10700ull * 10000, 3, 2, 10, -1.5f),
               EventSpec::of(t0 + 11021ull * 10000, 11, 0, 129, 67.125f)});
    writeFile(path, f.build());
}

// A header of file type 2, which the program does not read.
inline void writeTypeTwo(const std::string& path) {
    DataFileBuilder f = boiler();
    f.type = 2;
    writeFile(path, f.build());
}

// A data file cut short inside its first block.
inline void writeTruncated(const std::string& path) {
    const DataFileBuilder f = boiler();
    std::vector<std::uint8_t> bytes = f.build();
    bytes.resize(f.headerSize() + 24);
    writeFile(path, bytes);
}

}  // namespace drive
