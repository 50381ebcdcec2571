#include "Workload.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>

#include "support/RecorderFileBuilder.h"

using namespace testfile;

namespace bench {

namespace {

constexpr std::uint64_t Second = 10000;
// Where a file's blocks are broken by a pause in the recording.
constexpr std::uint64_t PauseTicks = 3600 * Second;

// Scale options: explicit decimal places in the low bits.
constexpr std::uint8_t Places(int n) { return static_cast<std::uint8_t>(0x10 | n); }

struct Channel {
    DataType type;
    std::int32_t interval;  // ticks
    std::uint8_t options;
    std::uint32_t perBlock;  // the largest block each type allows is below these
};

Channel channelFor(int i) {
    static const Channel kinds[4] = {
        {Signed16, 0, Places(2), 30000},
        {Unsigned16, 0, Places(2), 30000},
        {Float32, 0, Places(3), 16000},
        {Unsigned8, 0, Places(1), 60000},
    };
    Channel c = kinds[i % 4];
    c.interval = static_cast<std::int32_t>(i % 2 == 0 ? Second : 5 * Second);
    return c;
}

// A slow wave with noise: every sample differs from the one before, as a
// real signal's would.
class Signal {
public:
    explicit Signal(unsigned seed) : random_(seed) {}
    double next() {
        phase_ += 0.0007;
        return std::sin(phase_) * 0.8 + noise_(random_) * 0.05;
    }

private:
    std::mt19937 random_;
    std::normal_distribution<double> noise_{0.0, 1.0};
    double phase_ = 0.0;
};

void appendSample(BlockSpec& b, DataType type, double s) {
    auto& out = b.samples;
    switch (type) {
    case Signed16: {
        auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0, 1.0) * 30000)));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v));
        break;
    }
    case Unsigned16: {
        auto v = static_cast<std::uint16_t>(std::lround((std::clamp(s, -1.0, 1.0) + 1) * 32767));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v));
        break;
    }
    case Float32: {
        std::uint32_t bits = floatBits(static_cast<float>(s * 1234.5));
        for (int k = 24; k >= 0; k -= 8) out.push_back(static_cast<std::uint8_t>(bits >> k));
        break;
    }
    case Unsigned8:
        out.push_back(static_cast<std::uint8_t>(std::lround((std::clamp(s, -1.0, 1.0) + 1) * 120)));
        break;
    }
}

DataFileBuilder dataFile(int i, std::uint64_t start) {
    const Channel c = channelFor(i);
    DataFileBuilder f;
    f.ident = "BENCH" + std::to_string(i);
    const char* labels[4] = {"degC", "kPa", "V", "%RH"};
    const float highs[4] = {300.0f, 100.0f, 1000.0f, 100.0f};
    f.fileScale = ScaleSpec::of(labels[i % 4], 0.0f, highs[i % 4] / 2, highs[i % 4], c.options);
    Signal signal(1000u + static_cast<unsigned>(i));
    std::uint64_t t = start;
    std::uint32_t done = 0;
    int index = 0;
    while (done < SamplesPerFile) {
        BlockSpec b;
        b.type = c.type;
        b.start = t;
        b.interval = c.interval;
        // One pause in the middle of each file: the block after it starts a
        // new recording.
        b.startCode = index == 0 ? 1 : 2;
        if (index == 12) {
            b.start += PauseTicks;
            b.startCode = 1;
        }
        std::uint32_t n = std::min(c.perBlock, SamplesPerFile - done);
        for (std::uint32_t k = 0; k < n; ++k) appendSample(b, c.type, signal.next());
        t = b.start + static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(c.interval);
        done += n;
        f.add(std::move(b));
        ++index;
    }
    return f;
}

EventFileBuilder eventFile(std::uint64_t start) {
    static const int codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 9, 10, 9, 10, 64, 65, 66, 67, 127, 128, 129, 130, 131, 13, 200};
    std::mt19937 random(77);
    EventFileBuilder f;
    f.labels = {{"Pump off", "Pump on"}, {"Closed", "Open"}, {"", ""}};
    std::vector<EventSpec> events;
    events.reserve(EventCount);
    std::uint64_t t = start;
    std::uniform_real_distribution<float> value(-500.0f, 5000.0f);
    for (std::uint32_t i = 0; i < EventCount; ++i) {
        t += (1 + random() % 900) * Second;
        int code = codes[random() % std::size(codes)];
        events.push_back(EventSpec::of(t, static_cast<int>(random() % 16), static_cast<int>(random() % 16), code, value(random)));
    }
    f.linear(events);
    return f;
}

// Unsigned 16-bit blocks of 32,000 samples up to the size asked for.
DataFileBuilder largeFile(std::uint64_t start, std::uint64_t bytes) {
    DataFileBuilder f;
    f.ident = "LARGE";
    f.fileScale = ScaleSpec::of("mA", 4.0f, 12.0f, 20.0f, Places(3));
    constexpr std::uint32_t PerBlock = 32000;
    std::uint64_t t = start;
    std::uint64_t size = f.headerSize();
    std::uint16_t v = 0;
    while (size < bytes) {
        BlockSpec b;
        b.type = Unsigned16;
        b.start = t;
        b.interval = static_cast<std::int32_t>(Second / 10);
        b.samples.resize(2 * PerBlock);
        for (std::uint32_t k = 0; k < PerBlock; ++k, v += 7) {
            b.samples[2 * k] = static_cast<std::uint8_t>(v >> 8);
            b.samples[2 * k + 1] = static_cast<std::uint8_t>(v);
        }
        t += static_cast<std::uint64_t>(PerBlock) * (Second / 10);
        size += 24 + b.samples.size();
        f.add(std::move(b));
    }
    return f;
}

}  // namespace

std::vector<std::string> dataFilePaths(const std::string& dir) {
    std::vector<std::string> paths;
    for (int i = 0; i < WorkloadFiles; ++i) paths.push_back(dir + "/CH" + std::to_string(i) + ".DC1");
    return paths;
}

std::string eventFilePath(const std::string& dir) { return dir + "/EVENTS.ALM"; }
std::string largeFilePath(const std::string& dir) { return dir + "/LARGE.DC1"; }

std::string makeLargeFile(const std::string& dir) {
    std::filesystem::create_directories(dir);
    writeFile(largeFilePath(dir), largeFile(ticksAt(2023, 3, 1, 6, 0, 0), LargeFileBytes).build());
    return largeFilePath(dir);
}

std::uint64_t makeWorkload(const std::string& dir) {
    std::filesystem::create_directories(dir);
    const std::uint64_t start = ticksAt(2023, 3, 1, 6, 0, 0);
    const auto paths = dataFilePaths(dir);
    std::uint64_t total = 0;
    for (int i = 0; i < WorkloadFiles; ++i) {
        auto bytes = dataFile(i, start).build();
        total += bytes.size();
        writeFile(paths[static_cast<std::size_t>(i)], bytes);
    }
    writeFile(eventFilePath(dir), eventFile(start).build());
    writeFile(largeFilePath(dir), largeFile(start, LargeFileBytes).build());
    return total;
}

}  // namespace bench
