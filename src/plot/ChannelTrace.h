#pragma once
// One channel of a chart: its title, its scale and the envelope of its
// samples in engineering units over the span.
#include <cstdint>
#include <string>

#include "data/DataFile.h"
#include "plot/ColumnEnvelope.h"

struct ChannelTrace {
    std::string title;  // "NAME (label)", Windows-1252 as stored
    float scaleLow = 0, scaleHigh = 0;
    ColumnEnvelope envelope;
};

// Reads the file's samples from start to end (ticks) into `columns`
// columns. A break in the recording, or a block that starts more than an
// interval and a half after the last sample, leaves a gap.
ChannelTrace traceChannel(DataFile& file, std::uint64_t start, std::uint64_t end, std::uint32_t columns);
