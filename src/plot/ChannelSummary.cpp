#include "plot/ChannelSummary.h"

#include <algorithm>

namespace {

// Calls use(reading), reading taking a sample's index to its engineering
// value: whole counts the export's quicker way, straight from the array.
template <typename Use>
void withReadings(DataBlock& b, const DataTypeAr& samples, Use use) {
    b.toEngineering(0);  // the scale takes this block's conversion, as for any reading
    if (const UNITS* u = b.scale ? &b.scale->units : nullptr) {
        if (const auto* words = dynamic_cast<const IntData*>(&samples)) {
            const std::uint16_t* v = words->data();
            if (samples.isSigned) return use([u, v](std::uint32_t i) { return u->wholeToEngineering(std::int16_t(v[i])); });
            return use([u, v](std::uint32_t i) { return u->wholeToEngineering(v[i]); });
        }
        if (const auto* bytes = dynamic_cast<const CharData*>(&samples)) {
            const std::uint8_t* v = bytes->data();
            if (samples.isSigned) return use([u, v](std::uint32_t i) { return u->wholeToEngineering(std::int8_t(v[i])); });
            return use([u, v](std::uint32_t i) { return u->wholeToEngineering(v[i]); });
        }
    }
    use([&](std::uint32_t i) { return b.toEngineering(samples.value(static_cast<std::uint16_t>(i))); });
}

SampleExtent mergeRuns(const SampleExtent* first, std::size_t n) {
    SampleExtent all;
    for (std::size_t i = 0; i < n; ++i) all.append(first[i]);
    return all;
}

}  // namespace

bool ChannelSummary::build(std::uint64_t samples) {
    if (complete_) return true;
    if (!walk_ && file_.hasBlocks()) {
        walk_.emplace(file_);
        next_ = walk_->block();
        first_ = next_->startTime.ticks();
    }
    for (std::uint64_t done = 0; next_ && done < samples; next_ = walk_->nextBlock()) done += summarise(*next_);
    if (next_) return false;
    complete_ = true;
    file_.holdError();
    blocks_.shrink_to_fit();
    fine_.shrink_to_fit();
    coarse_.shrink_to_fit();
    return true;
}

std::uint64_t ChannelSummary::summarise(DataBlock& b) {
    last_ = b.endTime.ticks();
    file_.loadSamples(b);
    const std::uint32_t n = b.samples ? std::min<std::uint32_t>(b.count, b.samples->count) : 0;
    if (n > 0) {
        const std::uint32_t fineRun = FineBytes / (dynamic_cast<const CharData*>(b.samples.get()) ? 1 : dynamic_cast<const IntData*>(b.samples.get()) ? 2 : 4);
        Block e{&b, b.startTime.ticks(), b.interval, n, fineRun, static_cast<std::uint32_t>(fine_.size()),
                static_cast<std::uint32_t>(coarse_.size()), {}, false};
        // As a chart line: a missed sample or more is a gap, a stamp a little late is not.
        if (!blocks_.empty()) {
            const Block& p = blocks_.back();
            e.breakBefore = e.start > p.lastTime() + p.interval + p.interval / 2 || (b.startCode != 2 && b.startCode != 3);
        }
        withReadings(b, *b.samples, [&](auto reading) {
            for (std::uint32_t k = 0; k < n; k += fineRun) {
                SampleExtent run;
                for (std::uint32_t i = k; i < std::min(n, k + fineRun); ++i) run.add(reading(i));
                fine_.push_back(run);
            }
        });
        for (std::size_t k = e.fine; k < fine_.size(); k += CoarseFines)
            coarse_.push_back(mergeRuns(&fine_[k], std::min<std::size_t>(CoarseFines, fine_.size() - k)));
        e.whole = mergeRuns(&coarse_[e.coarse], coarse_.size() - e.coarse);
        blocks_.push_back(e);
    }
    b.samples.reset();
    return std::max<std::uint32_t>(n, 1);
}

double ChannelSummary::progress() const {
    if (complete_) return 1;
    const std::uint32_t end = file_.blocks.lastBlock;
    return next_ && end ? std::min(1.0, double(next_->address) / end) : 0;
}

bool ChannelSummary::span(std::uint64_t& first, std::uint64_t& last) const {
    if (!walk_) return false;
    first = first_;
    last = last_;
    return true;
}

const DataTypeAr* ChannelSummary::samplesOf(DataBlock& b) {
    if (!b.samples) {
        file_.loadSamples(b);
        file_.holdError();
        if (b.samples) loaded_.push_back(&b);
    }
    if (used_.empty() || used_.back() != &b) used_.push_back(&b);
    return b.samples.get();
}

ColumnEnvelope ChannelSummary::envelope(std::uint64_t start, std::uint64_t end, std::uint32_t columns) {
    ColumnEnvelope env(start, end, columns);
    start = env.start();
    end = env.end();
    const double columnTicks = double(end - start) / double(env.columns().size());
    used_.clear();
    for (const Block& e : blocks_) {
        if (e.start > end || e.lastTime() < start) continue;
        if (e.breakBefore) env.gap();
        const std::uint64_t step = std::max<std::uint32_t>(e.interval, 1);
        const std::uint32_t i0 = e.start >= start ? 0 : static_cast<std::uint32_t>((start - e.start + step - 1) / step);
        const std::uint32_t i1 = e.lastTime() <= end ? e.count - 1 : static_cast<std::uint32_t>((end - e.start) / step);
        const double perColumn = e.interval ? columnTicks / e.interval : double(e.count);
        // Runs of the longest length that fits a column, each at its middle.
        auto runs = [&](const SampleExtent* run, std::uint32_t length) {
            for (std::uint32_t k = i0 / length; k <= i1 / length; ++k) {
                const std::uint32_t middle = (k * length + std::min(e.count, (k + 1) * length) - 1) / 2;
                env.add(std::clamp(e.start + std::uint64_t(middle) * e.interval, start, end), run[k]);
            }
        };
        if (perColumn >= e.count) runs(&e.whole, e.count);
        else if (perColumn >= e.fineRun * CoarseFines) runs(&coarse_[e.coarse], e.fineRun * CoarseFines);
        else if (perColumn >= e.fineRun || !complete_) runs(&fine_[e.fine], e.fineRun);
        else if (const DataTypeAr* samples = samplesOf(*e.block); samples && samples->count > i0)
            addSamples(env, e, *samples, i0, std::min<std::uint32_t>(i1, samples->count - 1u));
    }
    // Blocks out of view give their samples back.
    for (DataBlock* b : loaded_)
        if (std::find(used_.begin(), used_.end(), b) == used_.end()) b->samples.reset();
    std::erase_if(loaded_, [](const DataBlock* b) { return !b->samples; });
    return env;
}

void ChannelSummary::addSamples(ColumnEnvelope& env, const Block& e, const DataTypeAr& samples, std::uint32_t from, std::uint32_t to) {
    const auto timeOf = [&](std::uint32_t i) { return e.start + std::uint64_t(i) * e.interval; };
    const std::size_t columns = env.columns().size();
    const long double columnTicks = static_cast<long double>(env.end() - env.start()) / columns;
    // A column's samples go in together: its end is found from its first
    // sample's time, not each sample's.
    withReadings(*e.block, samples, [&](auto reading) {
        for (std::uint32_t i = from; i <= to;) {
            const std::size_t column = env.columnOf(timeOf(i));
            std::uint32_t stop = to + 1;
            if (column + 1 < columns && e.interval) {
                const auto next = env.start() + static_cast<std::uint64_t>(columnTicks * (column + 1));
                const std::uint64_t past = next > e.start ? (next - e.start + e.interval - 1) / e.interval : 0;
                stop = static_cast<std::uint32_t>(std::clamp<std::uint64_t>(past, i + 1, to + 1));
                while (stop > i + 1 && env.columnOf(timeOf(stop - 1)) != column) --stop;
                while (stop <= to && env.columnOf(timeOf(stop)) == column) ++stop;
            }
            SampleExtent run;
            for (; i < stop; ++i) run.add(reading(i));
            env.add(timeOf(stop - 1), run);
        }
    });
}

bool ChannelSummary::valueAt(std::uint64_t time, float& value) {
    if (!complete_) return false;
    for (const Block& e : blocks_) {
        const std::uint64_t half = e.interval / 2;
        if (time + half < e.start || time > e.lastTime() + half) continue;
        const std::uint64_t i = time <= e.start ? 0 : std::min<std::uint64_t>((time - e.start + half) / std::max<std::uint32_t>(e.interval, 1), e.count - 1);
        const DataTypeAr* samples = samplesOf(*e.block);
        if (!samples || i >= samples->count) return false;
        value = e.block->toEngineering(samples->value(static_cast<std::uint16_t>(i)));
        return true;
    }
    return false;
}

std::size_t ChannelSummary::memoryBytes() const {
    return blocks_.capacity() * sizeof(Block) + (fine_.capacity() + coarse_.capacity()) * sizeof(SampleExtent);
}
