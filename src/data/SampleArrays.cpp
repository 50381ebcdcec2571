#include "data/SampleArrays.h"

#include "storage/IO.h"

namespace {

// Reads one sample per index until count or a main error; a sample during
// which the error arose did not arrive and is not counted.
template <class Read>
void readSamples(IO& stream, std::uint16_t& count, Read read) {
    std::uint16_t n = 0;
    while (n < count && !stream.hasMainError()) {
        read(n);
        if (stream.hasMainError()) break;
        ++n;
    }
    count = n;
}

}  // namespace

IntData::IntData(std::uint16_t n, bool twosComplement)
    : DataTypeAr(n, twosComplement), values(std::make_unique<std::uint16_t[]>(n)) {}

void IntData::readAll(IO& stream) {
    readSamples(stream, count, [&](std::uint16_t i) { values[i] = stream.getWord16(); });
}

void IntData::readOne(IO& stream, std::uint16_t index) {
    if (index < count) values[index] = stream.getWord16();
}

void IntData::writeAll(IO& stream) const {
    for (std::uint16_t i = 0; i < count; ++i) stream.putWord16(values[i]);
}

CharData::CharData(std::uint16_t n) : DataTypeAr(n, false), values(std::make_unique<std::uint8_t[]>(n)) {}

void CharData::readAll(IO& stream) {
    readSamples(stream, count, [&](std::uint16_t i) { values[i] = stream.getByte(); });
}

void CharData::readOne(IO& stream, std::uint16_t index) {
    if (index < count) values[index] = stream.getByte();
}

void CharData::writeAll(IO& stream) const {
    for (std::uint16_t i = 0; i < count; ++i) stream.putByte(values[i]);
}

FloatData::FloatData(std::uint16_t n) : DataTypeAr(n, false), values(std::make_unique<float[]>(n)) {}

void FloatData::readAll(IO& stream) {
    readSamples(stream, count, [&](std::uint16_t i) { values[i] = stream.getFloatChecked(); });
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
