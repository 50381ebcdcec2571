#pragma once
// One channel of a chart: its title, its scale and the envelope of its
// samples in engineering units over the span.
#include <cstdint>
#include <string>

#include "plot/ChannelSummary.h"
#include "plot/ColumnEnvelope.h"

struct ChannelTrace {
    std::string title;  // "NAME (label)", Windows-1252 as stored
    float scaleLow = 0, scaleHigh = 0;
    ColumnEnvelope envelope;

    // The range its panel shows: the scale, widened to the samples where
    // they leave it; never empty. `anySamples` tells whether there were any.
    void shownRange(float& low, float& high, bool& anySamples) const;
};

// The channel's samples from start to end (ticks) in `columns` columns,
// from what its summary has built so far. A
// break in the recording, or a block that starts more than an interval and
// a half after the last sample, leaves a gap.
ChannelTrace traceChannel(ChannelSummary& channel, std::uint64_t start, std::uint64_t end, std::uint32_t columns);
