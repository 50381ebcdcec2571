#pragma once
// One value column of the export rows, made a batch of rows at a time: the
// sample each row shows of one file, in engineering units, as the scale's
// formatter writes it. A column's values are independent of each other, so
// making them in one run keeps the processor busy where one row at a time
// would wait on each; the samples of a block are read through their own
// type rather than through a virtual call per sample; and a sample or
// reading that repeats (a slow file under a fast one) reuses its text.
#include <cstdint>
#include <memory>

#include "data/DataFile.h"
#include "time/NumberText.h"

// Where a row stands in one file.
struct SamplePosition {
    DataBlock* block = nullptr;
    std::uint32_t sample = 0;
};

class ValueColumn {
public:
    static constexpr std::size_t BatchRows = 64;

    explicit ValueColumn(DataFile& file);

    // The texts of up to BatchRows positions, in row order.
    void makeTexts(const SamplePosition* positions, std::size_t n);
    // Drops what is kept of this block's samples before they are freed.
    void forget(const DataBlock* b) {
        if (b == block_) bind(nullptr);
    }
    // Copies row r's text to out, which has NumberTextMax bytes; returns
    // its end, no terminator.
    char* put(std::size_t r, char* out) const;

private:
    enum class Kind : std::uint8_t { Virtual, Signed16, Unsigned16, Float, Byte, SignedByte };

    double raw(DataBlock* b, std::uint32_t sample);
    // A sample of the bound block through its own type.
    double typed(std::uint32_t sample) const {
        if (sample >= available_) return 0.0;
        switch (kind_) {
        case Kind::Signed16: return double(std::int16_t(static_cast<const std::uint16_t*>(samples_)[sample]));
        case Kind::Unsigned16: return double(static_cast<const std::uint16_t*>(samples_)[sample]);
        case Kind::Float: return double(static_cast<const float*>(samples_)[sample]);
        case Kind::Byte: return double(static_cast<const std::uint8_t*>(samples_)[sample]);
        case Kind::SignedByte: return double(std::int8_t(static_cast<const std::uint8_t*>(samples_)[sample]));
        default: return 0.0;
        }
    }
    void bind(const DataBlock* b);

    DataFile* file_;
    const DataBlock* block_ = nullptr;  // the block the typed pointer reads
    Kind kind_ = Kind::Virtual;
    const void* samples_ = nullptr;
    std::uint32_t available_ = 0;

    // The texts of the batch, one after the other; room for each at its
    // longest, though only what is written is ever touched.
    std::unique_ptr<char[]> texts_;
    std::uint32_t offset_[BatchRows] = {};
    std::uint16_t length_[BatchRows] = {};
};
