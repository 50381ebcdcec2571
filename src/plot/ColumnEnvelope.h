#pragma once
// A channel's samples over a time span reduced to one entry per pixel
// column: the lowest and highest value in it, and the first and last, so a
// chart draws each column as one upright stroke joined to its neighbour,
// however many samples fall into it, and a lone spike is never lost.
#include <cstdint>
#include <limits>
#include <vector>

struct EnvelopeColumn {
    bool filled = false;
    // Joined to the previous filled column: no gap in the recording between.
    bool joined = false;
    float low = 0, high = 0, first = 0, last = 0;
};

// Consecutive samples of one recording summarised: their lowest, highest,
// first and last finite readings, and whether a failed reading comes
// before the first or after the last (the line stops there).
struct SampleExtent {
    static constexpr std::uint8_t OpenStart = 1, OpenEnd = 2;
    float low = std::numeric_limits<float>::infinity();
    float high = -std::numeric_limits<float>::infinity();
    float first = 0, last = 0;
    std::uint8_t open = 0;

    bool empty() const { return !(low <= high); }
    // The samples of this extent followed by those of `next`.
    void append(const SampleExtent& next);
    // One more reading.
    void add(float value);
};

class ColumnEnvelope {
public:
    // Columns over [start, end] in ticks; end after start, columns at least 1.
    ColumnEnvelope(std::uint64_t start, std::uint64_t end, std::uint32_t columns);

    // Samples in time order; one outside the span is ignored, one not
    // finite (a failed reading) leaves a gap.
    void add(std::uint64_t time, float value);
    // Samples summarised beforehand that all go into the column of `time`.
    void add(std::uint64_t time, const SampleExtent& samples);
    // The recording stopped: the next sample is not joined to the last.
    void gap() { joinNext_ = false; }

    // The column of a time within the span.
    std::size_t columnOf(std::uint64_t time) const;
    std::uint64_t start() const { return start_; }
    std::uint64_t end() const { return end_; }
    const std::vector<EnvelopeColumn>& columns() const { return columns_; }
    // The lowest and highest value added; false when there was none.
    bool range(float& low, float& high) const;

private:
    std::uint64_t start_, end_;
    std::vector<EnvelopeColumn> columns_;
    bool joinNext_ = false;
    bool any_ = false;
    float low_ = 0, high_ = 0;
};
