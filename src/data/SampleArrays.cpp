#include "data/SampleArrays.h"

#include <bit>

#include "storage/IO.h"

namespace {

// The stream's CRC (reflected 0xA001) eight bytes at a step: table k
// advances a byte's contribution by k further bytes.
struct CrcTables {
    std::uint16_t t[8][256];
    constexpr CrcTables() : t() {
        for (unsigned b = 0; b < 256; ++b) {
            auto crc = static_cast<std::uint16_t>(b);
            for (int i = 0; i < 8; ++i) crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
            t[0][b] = crc;
        }
        for (int k = 1; k < 8; ++k)
            for (unsigned b = 0; b < 256; ++b) t[k][b] = static_cast<std::uint16_t>((t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF]);
    }
};
constexpr CrcTables Crc;

std::uint16_t crcOf(std::uint16_t reg, const std::uint8_t* p, std::size_t n) {
    const auto& t = Crc.t;
    for (; n >= 8; n -= 8, p += 8) {
        reg = static_cast<std::uint16_t>(reg ^ (p[0] | p[1] << 8));
        reg = static_cast<std::uint16_t>(t[7][reg & 0xFF] ^ t[6][reg >> 8] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^
                                         t[1][p[6]] ^ t[0][p[7]]);
    }
    for (; n > 0; --n, ++p) reg = static_cast<std::uint16_t>((reg >> 8) ^ t[0][(reg ^ *p) & 0xFF]);
    return reg;
}

// What getByte does to the checksum register for each of these bytes.
void passThroughChecksum(IO& stream, const std::uint8_t* p, std::size_t n) {
    if (stream.modeFlags & IO::ModeCrc) {
        stream.checksum = crcOf(stream.checksum, p, n);
        return;
    }
    std::uint16_t reg = stream.checksum;
    for (std::size_t i = 0; i < n; ++i) reg = static_cast<std::uint16_t>(reg + p[i]);
    stream.checksum = reg;
}

// Reads one sample per index until count or a main error; a sample during
// which the error arose did not arrive and is not counted. Whole samples
// already in the stream's buffer are taken from it in one run, exactly as
// the byte reads would take them; a sample split across two fills goes
// through readOne.
template <std::size_t Size, class ReadOne, class Decode>
void readSamples(IO& stream, std::uint16_t& count, ReadOne readOne, Decode decode) {
    std::uint16_t n = 0;
    while (n < count && !stream.hasMainError()) {
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
        passThroughChecksum(stream, p, whole * Size);
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
    : DataTypeAr(n, twosComplement), values(std::make_unique<std::uint16_t[]>(n)) {}

void IntData::readAll(IO& stream) {
    readSamples<2>(
        stream, count, [&](std::uint16_t i) { values[i] = stream.getWord16(); },
        [&](std::uint16_t i, const std::uint8_t* p) { values[i] = static_cast<std::uint16_t>(p[0] << 8 | p[1]); });
}

void IntData::readOne(IO& stream, std::uint16_t index) {
    if (index < count) values[index] = stream.getWord16();
}

void IntData::writeAll(IO& stream) const {
    for (std::uint16_t i = 0; i < count; ++i) stream.putWord16(values[i]);
}

CharData::CharData(std::uint16_t n) : DataTypeAr(n, false), values(std::make_unique<std::uint8_t[]>(n)) {}

void CharData::readAll(IO& stream) {
    readSamples<1>(
        stream, count, [&](std::uint16_t i) { values[i] = stream.getByte(); },
        [&](std::uint16_t i, const std::uint8_t* p) { values[i] = p[0]; });
}

void CharData::readOne(IO& stream, std::uint16_t index) {
    if (index < count) values[index] = stream.getByte();
}

void CharData::writeAll(IO& stream) const {
    for (std::uint16_t i = 0; i < count; ++i) stream.putByte(values[i]);
}

FloatData::FloatData(std::uint16_t n) : DataTypeAr(n, false), values(std::make_unique<float[]>(n)) {}

void FloatData::readAll(IO& stream) {
    readSamples<4>(
        stream, count, [&](std::uint16_t i) { values[i] = stream.getFloatChecked(); },
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
