#include "plot/ColumnEnvelope.h"

#include <algorithm>
#include <cmath>

ColumnEnvelope::ColumnEnvelope(std::uint64_t start, std::uint64_t end, std::uint32_t columns)
    : start_(start), end_(std::max(end, start + 1)), columns_(std::max<std::uint32_t>(columns, 1)) {}

void ColumnEnvelope::add(std::uint64_t time, float value) {
    if (time < start_ || time > end_) return;
    if (!std::isfinite(value)) {
        gap();
        return;
    }
    // The last column takes the end itself.
    const std::uint64_t n = columns_.size();
    const auto index = static_cast<std::size_t>(std::min<std::uint64_t>(
        n - 1, static_cast<std::uint64_t>(static_cast<long double>(time - start_) * n / static_cast<long double>(end_ - start_))));
    EnvelopeColumn& c = columns_[index];
    if (!c.filled) {
        c.filled = true;
        c.joined = joinNext_;
        c.low = c.high = c.first = value;
    } else {
        c.low = std::min(c.low, value);
        c.high = std::max(c.high, value);
    }
    c.last = value;
    joinNext_ = true;
    if (!any_) low_ = high_ = value;
    low_ = std::min(low_, value);
    high_ = std::max(high_, value);
    any_ = true;
}

bool ColumnEnvelope::range(float& low, float& high) const {
    if (!any_) return false;
    low = low_;
    high = high_;
    return true;
}
