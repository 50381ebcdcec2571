#include "plot/ChartView.h"

#include <algorithm>
#include <cmath>

void ChartView::setWhole(std::uint64_t first, std::uint64_t last) {
    const bool whole = showsWhole();
    first_ = first;
    last_ = std::max(last, first + MinSpan);
    if (whole) home();
    else place(static_cast<double>(start_), static_cast<double>(std::min(end_ - start_, last_ - first_)));
}

void ChartView::home() {
    start_ = first_;
    end_ = last_;
}

void ChartView::zoom(double factor, double at) {
    if (!(factor > 0)) return;
    at = std::clamp(at, 0.0, 1.0);
    const double span = static_cast<double>(end_ - start_);
    const double wanted = std::clamp(span * factor, double(MinSpan), double(last_ - first_));
    const double anchor = static_cast<double>(start_) + at * span;
    place(anchor - at * wanted, wanted);
}

void ChartView::pan(double share) { place(static_cast<double>(start_) + share * static_cast<double>(end_ - start_), double(end_ - start_)); }

std::uint64_t ChartView::timeAt(double at) const {
    return start_ + static_cast<std::uint64_t>(std::llround(std::clamp(at, 0.0, 1.0) * static_cast<double>(end_ - start_)));
}

void ChartView::place(double start, double span) {
    const auto width = static_cast<std::uint64_t>(std::llround(span));
    const double latest = static_cast<double>(last_ - width);
    start_ = static_cast<std::uint64_t>(std::llround(std::clamp(start, static_cast<double>(first_), latest)));
    end_ = start_ + width;
}
