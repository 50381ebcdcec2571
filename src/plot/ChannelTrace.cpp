#include "plot/ChannelTrace.h"

#include "data/DataFileIter.h"

ChannelTrace traceChannel(DataFile& file, std::uint64_t start, std::uint64_t end, std::uint32_t columns) {
    ChannelTrace t{std::string(file.header().text), 0, 0, ColumnEnvelope(start, end, columns)};
    const ScalesHeader& scale = file.blocks.fileScale;
    t.title += std::string(" (") + scale.label + ")";
    t.scaleLow = scale.units.low;
    t.scaleHigh = scale.units.high;
    if (!file.hasBlocks()) return t;
    DataFileIter it(file);
    it.seekTime(CTime::fromTicks(start));
    // The sample the seek stands on may lie before the span (its latest).
    const DataBlock* block = nullptr;
    std::uint64_t previous = 0;
    for (;;) {
        const DataBlock* b = it.block();
        if (!b) break;
        // The sample's own time: a seek leaves the time asked for.
        const std::uint64_t time = offsetBy(b->startTime, it.sampleInBlock, b->interval).ticks();
        if (time > end) break;
        // A missed sample or more is a gap; a stamp a little late is not.
        if (block && b != block && (time > previous + block->interval + block->interval / 2 || (b->startCode != 2 && b->startCode != 3)))
            t.envelope.gap();
        t.envelope.add(time, it.reading());
        block = b;
        previous = time;
        if (it.advance(1) == SeekStatus::AfterEnd) break;
    }
    return t;
}
