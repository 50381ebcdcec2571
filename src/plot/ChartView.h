#pragma once
// The span a chart window shows out of its whole recording, and the ways a
// user moves it: zoom around a point held still, pan, back to the whole.
// The span never leaves the recording and never shrinks below MinSpan.
#include <cstdint>

class ChartView {
public:
    static constexpr std::uint64_t MinSpan = 10000;  // one second of ticks

    // The whole recording, first to last tick, which grows while it is
    // read: a view of the whole goes on showing the whole.
    void setWhole(std::uint64_t first, std::uint64_t last);
    void home();
    // factor < 1 zooms in; `at` (0 to 1 across the width) stays where it is.
    void zoom(double factor, double at);
    // By a share of the visible span: positive goes later.
    void pan(double share);
    // A time on the screen: 0 is the left edge, 1 the right.
    std::uint64_t timeAt(double at) const;

    std::uint64_t start() const { return start_; }
    std::uint64_t end() const { return end_; }
    bool showsWhole() const { return start_ == first_ && end_ == last_; }

private:
    // Moves [start, start + span] inside the recording.
    void place(double start, double span);

    std::uint64_t first_ = 0, last_ = MinSpan;
    std::uint64_t start_ = 0, end_ = MinSpan;
};
