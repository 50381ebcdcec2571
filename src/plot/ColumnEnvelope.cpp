#include "plot/ColumnEnvelope.h"

#include <algorithm>
#include <cmath>

void SampleExtent::append(const SampleExtent& next) {
    if (next.empty()) {
        if (!next.open) return;  // no samples at all
        open |= OpenEnd;
        // Only failed readings so far: the line is open at the start too.
        if (empty()) open |= OpenStart;
        return;
    }
    if (empty()) {
        const bool failedBefore = open != 0;
        *this = next;
        if (failedBefore) open |= OpenStart;
        return;
    }
    low = std::min(low, next.low);
    high = std::max(high, next.high);
    last = next.last;
    open = static_cast<std::uint8_t>((open & OpenStart) | (next.open & OpenEnd));
}

void SampleExtent::add(float value) {
    if (!std::isfinite(value)) {
        open |= empty() ? OpenStart | OpenEnd : OpenEnd;
        return;
    }
    if (empty()) {
        low = high = first = value;
    } else {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    last = value;
    open &= OpenStart;
}

ColumnEnvelope::ColumnEnvelope(std::uint64_t start, std::uint64_t end, std::uint32_t columns)
    : start_(start), end_(std::max(end, start + 1)), columns_(std::max<std::uint32_t>(columns, 1)) {}

void ColumnEnvelope::add(std::uint64_t time, float value) {
    SampleExtent one;
    one.add(value);
    add(time, one);
}

void ColumnEnvelope::add(std::uint64_t time, const SampleExtent& samples) {
    if (time < start_ || time > end_) return;
    if (samples.open & SampleExtent::OpenStart) gap();
    if (samples.empty()) return;
    EnvelopeColumn& c = columns_[columnOf(time)];
    if (!c.filled) {
        c.filled = true;
        c.joined = joinNext_;
        c.low = samples.low;
        c.high = samples.high;
        c.first = samples.first;
    } else {
        c.low = std::min(c.low, samples.low);
        c.high = std::max(c.high, samples.high);
    }
    c.last = samples.last;
    joinNext_ = !(samples.open & SampleExtent::OpenEnd);
    if (!any_) low_ = high_ = samples.low;
    low_ = std::min(low_, samples.low);
    high_ = std::max(high_, samples.high);
    any_ = true;
}

std::size_t ColumnEnvelope::columnOf(std::uint64_t time) const {
    // The last column takes the end itself.
    const std::uint64_t n = columns_.size();
    return static_cast<std::size_t>(std::min<std::uint64_t>(
        n - 1, static_cast<std::uint64_t>(static_cast<long double>(time - start_) * n / static_cast<long double>(end_ - start_))));
}

bool ColumnEnvelope::range(float& low, float& high) const {
    if (!any_) return false;
    low = low_;
    high = high_;
    return true;
}
