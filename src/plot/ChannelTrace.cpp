#include "plot/ChannelTrace.h"

ChannelTrace traceChannel(ChannelSummary& channel, std::uint64_t start, std::uint64_t end, std::uint32_t columns) {
    const DataFile& file = channel.file();
    const ScalesHeader& scale = file.blocks.fileScale;
    return ChannelTrace{std::string(file.header().text) + " (" + scale.label + ")", scale.units.low, scale.units.high,
                        channel.envelope(start, end, columns)};
}
