#include "support/RecorderFileBuilder.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testfile {

void Bytes::u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v >> 8));
    u8(static_cast<std::uint8_t>(v));
}

void Bytes::u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v >> 16));
    u16(static_cast<std::uint16_t>(v));
}

void Bytes::f32(float v) { u32(floatBits(v)); }

void Bytes::text(const std::string& s, std::size_t width, char pad) {
    for (std::size_t i = 0; i < width; ++i) u8(static_cast<std::uint8_t>(i < s.size() ? s[i] : pad));
}

void Bytes::storedTime(std::uint64_t ticks) {
    std::uint64_t day = ticks / 864000000ull;
    std::uint64_t rest = ticks % 864000000ull;
    std::uint64_t secs = rest / 10000;
    int tenths = static_cast<int>((rest % 10000) / 1000);
    u8(static_cast<std::uint8_t>(tenths - 10));
    u8(static_cast<std::uint8_t>(static_cast<int>(secs % 60) - 60));
    u8(static_cast<std::uint8_t>(static_cast<int>(secs / 60 % 60) - 60));
    u8(static_cast<std::uint8_t>(static_cast<int>(secs / 3600) - 24));
    u16(static_cast<std::uint16_t>(day));
}

void Bytes::put16At(std::size_t offset, std::uint16_t v) {
    data.at(offset) = static_cast<std::uint8_t>(v >> 8);
    data.at(offset + 1) = static_cast<std::uint8_t>(v);
}

void Bytes::put32At(std::size_t offset, std::uint32_t v) {
    put16At(offset, static_cast<std::uint16_t>(v >> 16));
    put16At(offset + 2, static_cast<std::uint16_t>(v));
}

std::uint16_t crc16(std::uint16_t reg, const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        reg ^= p[i];
        for (int k = 0; k < 8; ++k) reg = (reg & 1) ? static_cast<std::uint16_t>((reg >> 1) ^ 0xA001) : static_cast<std::uint16_t>(reg >> 1);
    }
    return reg;
}

std::uint64_t ticksAt(int year, int month, int day, int hour, int minute, int second, int tenthsOfMs) {
    static const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    std::uint64_t days = 0;
    for (int y = 1989; y < year; ++y) days += leap(y) ? 366 : 365;
    for (int m = 1; m < month; ++m) days += monthDays[m - 1] + (m == 2 && leap(year) ? 1 : 0);
    days += static_cast<std::uint64_t>(day - 1);
    return ((days * 86400 + static_cast<std::uint64_t>(hour) * 3600 + minute * 60 + second) * 10000) + tenthsOfMs;
}

std::uint32_t floatBits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

float floatFromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

ScaleSpec ScaleSpec::of(const std::string& label, float low, float middle, float high, std::uint8_t options) {
    ScaleSpec s;
    s.label = label;
    s.low = floatBits(low);
    s.middle = floatBits(middle);
    s.high = floatBits(high);
    s.options = options;
    return s;
}

BlockSpec& BlockSpec::i16(const std::vector<std::int16_t>& v) {
    type = Signed16;
    samples.clear();
    for (auto x : v) {
        samples.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(x) >> 8));
        samples.push_back(static_cast<std::uint8_t>(x));
    }
    return *this;
}

BlockSpec& BlockSpec::u16(const std::vector<std::uint16_t>& v) {
    type = Unsigned16;
    samples.clear();
    for (auto x : v) {
        samples.push_back(static_cast<std::uint8_t>(x >> 8));
        samples.push_back(static_cast<std::uint8_t>(x));
    }
    return *this;
}

BlockSpec& BlockSpec::f32(const std::vector<float>& v) {
    std::vector<std::uint32_t> bits;
    for (auto x : v) bits.push_back(floatBits(x));
    return f32bits(bits);
}

BlockSpec& BlockSpec::f32bits(const std::vector<std::uint32_t>& v) {
    type = Float32;
    samples.clear();
    for (auto b : v)
        for (int s = 24; s >= 0; s -= 8) samples.push_back(static_cast<std::uint8_t>(b >> s));
    return *this;
}

BlockSpec& BlockSpec::u8(const std::vector<std::uint8_t>& v) {
    type = Unsigned8;
    samples = v;
    return *this;
}

namespace {

void putAlarm(Bytes& out, const AlarmSpec& a) {
    out.u8(a.mask);
    for (int i = 0; i < 5; ++i) {
        if (!(a.mask >> i & 1)) continue;
        out.u32(a.records[i].first);
        out.u32(a.records[i].second);
        out.u8(a.records[i].type);
        out.u8(a.records[i].option);
    }
}

std::size_t alarmSize(const AlarmSpec& a) {
    std::size_t n = 1;
    for (int i = 0; i < 5; ++i) n += (a.mask >> i & 1) ? 10 : 0;
    return n;
}

void putScale(Bytes& out, const ScaleSpec& s) {
    out.text(s.label, 6);
    out.u32(s.low);
    out.u32(s.middle);
    out.u32(s.high);
    out.u8(s.options);
}

}  // namespace

std::size_t DataFileBuilder::headerSize() const { return 13 + 8 + alarmSize(fileAlarm) + 19 + 2; }

std::size_t DataFileBuilder::blockSize(const BlockSpec& b) const {
    return 24 + (b.alarm ? alarmSize(*b.alarm) : 0) + (b.scale ? 19 : 0) + b.samples.size();
}

std::vector<std::uint32_t> DataFileBuilder::layout() const {
    std::vector<std::uint32_t> at;
    std::size_t pos = headerSize();
    for (const auto& b : blocks) {
        pos += b.gapBefore;
        at.push_back(static_cast<std::uint32_t>(pos));
        pos += blockSize(b);
    }
    return at;
}

std::uint32_t DataFileBuilder::addressOf(std::size_t i) const { return layout().at(i); }

std::vector<std::uint8_t> DataFileBuilder::build() const {
    const auto at = layout();
    Bytes out;
    out.u8(static_cast<std::uint8_t>(version));
    out.u8(revision);
    out.u8(type);
    out.text(ident, 10);
    out.u32(firstBlock.value_or(at.empty() ? 0 : at.front()));
    out.u32(lastBlock.value_or(at.empty() ? 0 : at.back()));
    putAlarm(out, fileAlarm);
    putScale(out, fileScale);
    out.u16(0);

    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const BlockSpec& b = blocks[i];
        out.data.resize(out.size() + b.gapBefore, 0xEE);
        std::size_t base = out.size();
        std::uint32_t prev = i == 0 ? 0 : at[i - 1];
        std::uint32_t next = i + 1 == blocks.size() ? 0 : at[i + 1];
        if (b.nextIndex) next = at.at(static_cast<std::size_t>(*b.nextIndex));
        if (b.prev) prev = *b.prev;
        out.u16(b.byteCount.value_or(static_cast<std::uint16_t>(b.samples.size())));
        out.u16(0);  // checksum, patched below
        out.u32(prev);
        out.u32(next);
        out.storedTime(b.start);
        out.u32(static_cast<std::uint32_t>(b.interval));
        out.u8(b.startCode);
        std::uint8_t flags = static_cast<std::uint8_t>(b.type | (b.scale ? 0x40 : 0) | (b.alarm ? 0x80 : 0));
        out.u8(flags);
        std::uint16_t crc = crc16(0xFFA5, out.data.data() + base + 12, 12);
        if (b.alarm) putAlarm(out, *b.alarm);
        if (b.scale) {
            std::size_t s = out.size();
            putScale(out, *b.scale);
            crc = crc16(crc, out.data.data() + s, 19);
        }
        std::size_t s = out.size();
        out.data.insert(out.data.end(), b.samples.begin(), b.samples.end());
        crc = crc16(crc, out.data.data() + s, b.samples.size());
        if (b.badChecksum) crc ^= 0x5A5A;
        out.put16At(base + 2, crc);
    }
    return out.data;
}

EventSpec EventSpec::of(std::uint64_t time, int point, int alarm, int code, float value) {
    EventSpec e;
    e.time = time;
    e.point = static_cast<std::uint8_t>(point);
    e.alarm = static_cast<std::uint8_t>(alarm);
    e.code = static_cast<std::uint8_t>(code);
    e.value = floatBits(value);
    return e;
}

void EventFileBuilder::linear(const std::vector<EventSpec>& events) {
    ring = events;
    firstPos = headerSize();
    lastPos = events.empty() ? firstPos : slot(events.size() - 1);
    wrapPos = events.empty() ? firstPos : lastPos + 12;
}

void EventFileBuilder::wrapped(std::size_t capacity, std::size_t oldest, const std::vector<EventSpec>& events) {
    if (events.size() > capacity || oldest >= capacity) throw std::invalid_argument("ring does not hold the events");
    // firstPos == lastPos means a full ring, so one record can only stand in
    // the first slot of a ring that holds more.
    if (events.size() == 1 && oldest != 0)
        throw std::invalid_argument("a single record above the first slot reads as a full ring");
    ring.assign(capacity, EventSpec{});
    for (std::size_t i = 0; i < events.size(); ++i) ring[(oldest + i) % capacity] = events[i];
    firstPos = slot(oldest);
    wrapPos = slot(capacity);
    if (events.size() == capacity) lastPos = firstPos;
    else if (events.empty()) lastPos = wrapPos = firstPos;
    else lastPos = slot((oldest + events.size() - 1) % capacity);
    if (!events.empty() && events.size() < capacity && oldest + events.size() <= capacity) wrapPos = lastPos + 12;
}

std::vector<std::uint8_t> EventFileBuilder::build() const {
    Bytes out;
    out.u8(static_cast<std::uint8_t>(version));
    out.u8(revision);
    out.u8(type);
    out.text(ident, 10);
    out.u8(static_cast<std::uint8_t>(labels.size()));
    for (const auto& [open, close] : labels) {
        out.text(open, 10, ' ');
        out.text(close, 10, ' ');
    }
    out.u32(static_cast<std::uint32_t>(firstPos));
    out.u32(static_cast<std::uint32_t>(lastPos));
    out.u32(static_cast<std::uint32_t>(wrapPos));
    out.u16(0);
    for (const auto& e : ring) {
        out.storedTime(e.time);
        out.u8(static_cast<std::uint8_t>((e.point & 15) << 4 | (e.alarm & 15)));
        out.u8(e.code);
        out.u32(e.value);
    }
    out.u16(0);
    return out.data;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace testfile
