#include "data/SampleArrays.h"

#include <bit>
#include <cstring>

#include "storage/IO.h"

namespace {

// Reads one sample per index until count or a main error; a sample during
// which the error arose did not arrive and is not counted. Whole samples
// already in the stream's buffer are taken from it in one run, exactly as
// the byte reads would take them; a long run with the buffer empty comes
// from the device straight into the array (raw, the array's own memory)
// and is decoded in place; a sample split across two fills goes through
// readOne.
template <std::size_t Size, class ReadOne, class Decode>
void readSamples(IO& stream, std::uint16_t& count, std::uint8_t* raw, ReadOne readOne, Decode decode) {
    std::uint16_t n = 0;
    bool direct = true;
    while (n < count && !stream.hasMainError()) {
        const std::uint32_t rest = static_cast<std::uint32_t>(count - n) * Size;
        if (direct && stream.index >= stream.count && rest >= IO::DirectRun) {
            std::uint8_t* p = raw + std::size_t(n) * Size;
            const std::uint32_t got = stream.readRun(p, rest);
            const std::size_t whole = got / Size;
            for (std::size_t k = 0; k < whole; ++k) decode(static_cast<std::uint16_t>(n + k), p + k * Size);
            n = static_cast<std::uint16_t>(n + whole);
            // Short without an error: a device that gave nothing; go on a
            // sample at a time as the byte reads would.
            if (got < rest) direct = false;
            continue;
        }
        const int end = stream.count < IO::BufferSize ? stream.count : IO::BufferSize;
        const int ready = end - stream.index;
        std::size_t whole = ready > 0 ? static_cast<std::size_t>(ready) / Size : 0;
        if (whole == 0) {
            readOne(n);
            if (stream.hasMainError()) break;
            ++n;
            continue;
        }
        if (whole > static_cast<std::size_t>(count - n)) whole = count - n;
        const std::uint8_t* p = stream.buffer + stream.index;
        for (std::size_t k = 0; k < whole; ++k) decode(static_cast<std::uint16_t>(n + k), p + k * Size);
        stream.passThrough(p, whole * Size);
        stream.index = static_cast<std::int16_t>(stream.index + whole * Size);
        n = static_cast<std::uint16_t>(n + whole);
    }
    count = n;
}

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

IntData::IntData(std::uint16_t n, bool twosComplement)
    : DataTypeAr(n, twosComplement), values(std::make_unique_for_overwrite<std::uint16_t[]>(n)) {}

void IntData::readAll(IO& stream) {
    defined_ = true;
    readSamples<2>(
        stream, count, reinterpret_cast<std::uint8_t*>(values.get()), [&](std::uint16_t i) { values[i] = stream.getWord16(); },
        [&](std::uint16_t i, const std::uint8_t* p) { values[i] = static_cast<std::uint16_t>(p[0] << 8 | p[1]); });
}

void IntData::readOne(IO& stream, std::uint16_t index) {
    if (!defined_) {
        std::memset(values.get(), 0, sizeof values[0] * count);
        defined_ = true;
    }
    if (index < count) values[index] = stream.getWord16();
}

void IntData::writeAll(IO& stream) const {
    for (std::uint16_t i = 0; i < count; ++i) stream.putWord16(values[i]);
}

CharData::CharData(std::uint16_t n) : DataTypeAr(n, false), values(std::make_unique_for_overwrite<std::uint8_t[]>(n)) {}

void CharData::readAll(IO& stream) {
    defined_ = true;
    readSamples<1>(
        stream, count, values.get(), [&](std::uint16_t i) { values[i] = stream.getByte(); },
        [&](std::uint16_t i, const std::uint8_t* p) { values[i] = p[0]; });
}

void CharData::readOne(IO& stream, std::uint16_t index) {
    if (!defined_) {
        std::memset(values.get(), 0, sizeof values[0] * count);
        defined_ = true;
    }
    if (index < count) values[index] = stream.getByte();
}

void CharData::writeAll(IO& stream) const {
    for (std::uint16_t i = 0; i < count; ++i) stream.putByte(values[i]);
}

FloatData::FloatData(std::uint16_t n) : DataTypeAr(n, false), values(std::make_unique_for_overwrite<float[]>(n)) {}

void FloatData::readAll(IO& stream) {
    defined_ = true;
    readSamples<4>(
        stream, count, reinterpret_cast<std::uint8_t*>(values.get()), [&](std::uint16_t i) { values[i] = stream.getFloatChecked(); },
        [&](std::uint16_t i, const std::uint8_t* p) {
            // As getFloatChecked: infinity or not-a-number is reported and read as 0.
            const std::uint32_t bits = bigEndian32(p);
            if ((bits & 0x7F800000u) == 0x7F800000u) {
                IO::reportCode(stream.secondaryError, ErrorCode::InvalidFloat);
                values[i] = 0.0f;
            } else {
                values[i] = std::bit_cast<float>(bits);
            }
        });
}

void FloatData::readOne(IO& stream, std::uint16_t index) {
    if (!defined_) {
        std::memset(values.get(), 0, sizeof values[0] * count);
        defined_ = true;
    }
    if (index < count) values[index] = stream.getFloatChecked();
}

void FloatData::writeAll(IO& stream) const {
    for (std::uint16_t i = 0; i < count; ++i) stream.putFloat(values[i]);
}

std::unique_ptr<DataTypeAr> makeSampleArray(unsigned dataType, std::uint32_t count) {
    if (count > 0xFFFF) return nullptr;
    const auto n = static_cast<std::uint16_t>(count);
    switch (dataType) {
        case 0:
        case 1:
            if (n >= 32767) return nullptr;
            return std::make_unique<IntData>(n, dataType == 0);
        case 2:
            return std::make_unique<FloatData>(n);
        case 3:
            return std::make_unique<CharData>(n);
        default:
            return nullptr;
    }
}
