#include "export/ValueColumn.h"

#include <bit>
#include <cstring>

namespace {

// What decides the text besides the reading: the fixed decimals and the
// logarithmic option of the scale, or no scale at all.
constexpr int NoScale = 0x200;
int formatKey(const DataBlock* b) {
    if (!b || !b->scale) return NoScale;
    const UNITS& u = b->scale->units;
    return ((u.flags & UNITS::Logarithmic) ? 0x100 : 0) | u.decimals;
}

// DataBlock::toEngineering, with the scale's conversion inline when it
// already holds this block's flags, as it does but after a change of type.
// A whole count (a sample of 16 or 8 bits) takes the quicker way.
float engineering(DataBlock& b, double raw, bool whole) {
    constexpr std::uint8_t Conversion = BlockFlags::TypeMask | BlockFlags::MidScale | BlockFlags::Logarithmic;
    if (b.scale && (b.scale->units.flags & Conversion) == (b.flags & Conversion))
        return whole ? b.scale->units.wholeToEngineering(static_cast<std::int32_t>(raw)) : b.scale->units.toEngineering(raw);
    return b.toEngineering(raw);
}

// Texts up to this long are copied in one fixed-size move.
constexpr std::size_t ShortText = 16;

}  // namespace

ValueColumn::ValueColumn(DataFile& file)
    : file_(&file), texts_(new char[BatchRows * NumberTextMax + ShortText]) {}

void ValueColumn::bind(const DataBlock* b) {
    block_ = b;
    kind_ = Kind::Virtual;
    samples_ = nullptr;
    available_ = 0;
    // No samples (yet): raw() goes the long way; bind again next time.
    if (!b || !b->samples) {
        block_ = nullptr;
        return;
    }
    const DataTypeAr* a = b->samples.get();
    available_ = a->count;
    if (const auto* words = dynamic_cast<const IntData*>(a)) {
        kind_ = a->isSigned ? Kind::Signed16 : Kind::Unsigned16;
        samples_ = words->data();
    } else if (const auto* floats = dynamic_cast<const FloatData*>(a)) {
        kind_ = Kind::Float;
        samples_ = floats->data();
    } else if (const auto* bytes = dynamic_cast<const CharData*>(a)) {
        kind_ = a->isSigned ? Kind::SignedByte : Kind::Byte;
        samples_ = bytes->data();
    }
}

// What DataFileIter::value() gives standing on this sample.
double ValueColumn::raw(DataBlock* b, std::uint32_t sample) {
    if (b != block_ || !b) bind(b);
    if (kind_ == Kind::Virtual) {
        if (!b) return 0.0;
        file_->loadSamples(*b);
        return b->samples && sample < b->samples->count ? b->samples->value(static_cast<std::uint16_t>(sample)) : 0.0;
    }
    return typed(sample);
}

// A reading depends on the sample, its block's type and the scale record,
// whose values stay as the first block using it left them; so a sample
// shown again has the text it had.
void ValueColumn::makeTexts(const SamplePosition* positions, std::size_t n) {
    char* const texts = texts_.get();
    std::uint32_t used = 0;
    std::uint32_t readingBits = 0;
    int key = -1;
    for (std::size_t r = 0; r < n; ++r) {
        DataBlock* b = positions[r].block;
        const std::uint32_t sample = positions[r].sample;
        if (r > 0 && b && b == positions[r - 1].block && sample == positions[r - 1].sample) {
            offset_[r] = offset_[r - 1];
            length_[r] = length_[r - 1];
            continue;
        }
        const bool bound = b == block_ && b && kind_ != Kind::Virtual;
        const double value = bound ? typed(sample) : raw(b, sample);
        const float reading = b ? engineering(*b, value, bound && kind_ != Kind::Float) : 0.0f;
        const int k = formatKey(b);
        const auto bits = std::bit_cast<std::uint32_t>(reading);
        if (r > 0 && bits == readingBits && k == key) {
            offset_[r] = offset_[r - 1];
            length_[r] = length_[r - 1];
            continue;
        }
        char* text = texts + used;
        char* end = b && b->scale ? b->scale->units.format(text, reading, 8, false) : formatFixed(text, reading, 8, 2);
        offset_[r] = used;
        length_[r] = static_cast<std::uint16_t>(end - text);
        used += length_[r];
        readingBits = bits;
        key = k;
    }
}

char* ValueColumn::put(std::size_t r, char* out) const {
    const char* text = texts_.get() + offset_[r];
    const std::size_t length = length_[r];
    // The buffers on both sides have room for the fixed-size move.
    if (length <= ShortText) std::memcpy(out, text, ShortText);
    else std::memcpy(out, text, length);
    return out + length;
}
