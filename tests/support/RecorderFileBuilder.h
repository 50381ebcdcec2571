#pragma once
// Writes recorder files byte for byte, so every test, fuzz seed, sample
// recording and benchmark makes its own files. It encodes independently of
// the readers (its own CRC and stored-time code), so a fault in a reader is
// not mirrored here.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testfile {

// Big-endian byte sink.
class Bytes {
public:
    void u8(std::uint8_t v) { data.push_back(v); }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void f32(float v);
    // Fixed-width text, padded with zero bytes (or cut).
    void text(const std::string& s, std::size_t width, char pad = '\0');
    void storedTime(std::uint64_t ticks);
    void put16At(std::size_t offset, std::uint16_t v);
    void put32At(std::size_t offset, std::uint32_t v);
    std::size_t size() const { return data.size(); }
    std::vector<std::uint8_t> data;
};

std::uint16_t crc16(std::uint16_t reg, const std::uint8_t* p, std::size_t n);
// Ticks for a calendar time, computed with the proleptic calendar.
std::uint64_t ticksAt(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int tenthsOfMs = 0);
std::uint32_t floatBits(float f);
float floatFromBits(std::uint32_t bits);

struct AlarmSetPoint {
    std::uint32_t first = 0;   // raw float bits
    std::uint32_t second = 0;
    std::uint8_t type = 1;
    std::uint8_t option = 0;
};

struct AlarmSpec { std::uint8_t mask = 0; AlarmSetPoint records[5]; };

struct ScaleSpec {
    std::string label = "CH1";  // 6 raw bytes on file
    std::uint32_t low = floatBits(0.0f);
    std::uint32_t middle = floatBits(50.0f);
    std::uint32_t high = floatBits(100.0f);
    std::uint8_t options = 0;
    static ScaleSpec of(const std::string& label, float low, float middle, float high, std::uint8_t options = 0);
};

enum DataType : std::uint8_t { Signed16 = 0, Unsigned16 = 1, Float32 = 2, Unsigned8 = 3 };

struct BlockSpec {
    std::uint64_t start = 0;      // ticks of the first sample
    std::int32_t interval = 10000;  // stored interval (negative: hundredths of a second)
    std::uint8_t startCode = 2;
    DataType type = Unsigned16;
    std::optional<AlarmSpec> alarm;
    std::optional<ScaleSpec> scale;
    std::vector<std::uint8_t> samples;  // stored sample bytes
    std::size_t gapBefore = 0;    // free bytes between the previous block and this one

    // Deliberate faults.
    std::optional<std::uint16_t> byteCount;  // stored data byte count
    std::optional<std::uint32_t> prev;       // stored back address
    std::optional<int> nextIndex;            // next = address of that block
    bool badChecksum = false;

    BlockSpec& i16(const std::vector<std::int16_t>& v);
    BlockSpec& u16(const std::vector<std::uint16_t>& v);
    BlockSpec& f32(const std::vector<float>& v);
    BlockSpec& f32bits(const std::vector<std::uint32_t>& v);
    BlockSpec& u8(const std::vector<std::uint8_t>& v);
};

class DataFileBuilder {
public:
    char version = '4';
    std::uint8_t revision = 100;
    std::uint8_t type = 0;
    std::string ident = "RECORDER";
    AlarmSpec fileAlarm;
    ScaleSpec fileScale;
    std::vector<BlockSpec> blocks;
    std::optional<std::uint32_t> firstBlock;  // header addresses; default from the layout
    std::optional<std::uint32_t> lastBlock;

    BlockSpec& add(BlockSpec b) { blocks.push_back(std::move(b)); return blocks.back(); }
    std::vector<std::uint8_t> build() const;
    // Address of block i in the built file.
    std::uint32_t addressOf(std::size_t i) const;
    std::size_t headerSize() const;

private:
    std::vector<std::uint32_t> layout() const;
    std::size_t blockSize(const BlockSpec& b) const;
};

struct EventSpec {
    std::uint64_t time = 0;
    std::uint8_t point = 0;
    std::uint8_t alarm = 0;
    std::uint8_t code = 0;
    std::uint32_t value = 0;  // raw float bits
    static EventSpec of(std::uint64_t time, int point, int alarm, int code, float value);
};

class EventFileBuilder {
public:
    char version = '4';
    std::uint8_t revision = 100;
    std::uint8_t type = 4;
    std::string ident = "ALARMS";
    std::vector<std::pair<std::string, std::string>> labels;  // 10 raw bytes each, space padded
    std::vector<EventSpec> ring;  // record slots in file order
    std::int32_t firstPos = 0, lastPos = 0, wrapPos = 0;

    std::int32_t headerSize() const { return 28 + 20 * static_cast<std::int32_t>(labels.size()); }
    std::int32_t slot(std::size_t i) const { return headerSize() + 12 * static_cast<std::int32_t>(i); }
    // A ring that has not wrapped: the events in order, oldest first.
    void linear(const std::vector<EventSpec>& events);
    // A ring of `capacity` slots whose oldest record is at slot `oldest`,
    // filled with `events` in order (wrapping past the top).
    void wrapped(std::size_t capacity, std::size_t oldest, const std::vector<EventSpec>& events);
    std::vector<std::uint8_t> build() const;
};

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readFile(const std::string& path);

}  // namespace testfile
