#include "plot/ChannelTrace.h"

#include <algorithm>
#include <cmath>

void ChannelTrace::shownRange(float& low, float& high, bool& anySamples) const {
    low = scaleLow, high = scaleHigh;
    if (!std::isfinite(low) || !std::isfinite(high)) low = high = 0;
    if (low > high) std::swap(low, high);
    float dataLow = 0, dataHigh = 0;
    anySamples = envelope.range(dataLow, dataHigh);
    if (anySamples) low = std::min(low, dataLow), high = std::max(high, dataHigh);
    if (!(high > low)) low -= 1, high += 1;
}

ChannelTrace traceChannel(ChannelSummary& channel, std::uint64_t start, std::uint64_t end, std::uint32_t columns) {
    const DataFile& file = channel.file();
    const ScalesHeader& scale = file.blocks.fileScale;
    return ChannelTrace{std::string(file.header().text) + " (" + scale.label + ")", scale.units.low, scale.units.high,
                        channel.envelope(start, end, columns)};
}
