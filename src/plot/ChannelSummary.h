#pragma once
// A channel's samples summarised once, so that a chart of any span costs
// work in proportion to its width in pixels, not to the samples in it: per
// block, the extent of every fine run of FineBytes of samples (256 16-bit
// samples), of every coarse run of CoarseFines fine ones and of the whole
// block. Columns that hold fewer samples than a fine run are drawn from the
// samples themselves, read again from the file.
#include <cstdint>
#include <optional>
#include <vector>

#include "data/DataFile.h"
#include "data/DataFileIter.h"
#include "plot/ColumnEnvelope.h"

class ChannelSummary {
public:
    // Bytes rather than samples: the summaries' share of the input stays
    // the same for every sample size (about 4 %).
    static constexpr std::uint32_t FineBytes = 512, CoarseFines = 16;

    explicit ChannelSummary(DataFile& file) : file_(file) {}
    ChannelSummary(const ChannelSummary&) = delete;
    ChannelSummary& operator=(const ChannelSummary&) = delete;

    // Loads and summarises blocks along the chain until about `samples`
    // samples are done (each block's samples are let go once summarised);
    // true once the whole chain is. The error that ended the chain, if
    // any, is then set aside for the file to report.
    bool build(std::uint64_t samples = UINT64_MAX);
    bool complete() const { return complete_; }
    // How far through the file building has come, 0 to 1.
    double progress() const;

    // The first sample's time and the last block's end along the chain
    // built so far; false when there is no block.
    bool span(std::uint64_t& first, std::uint64_t& last) const;

    // The columns of [start, end]. A run summarised beforehand goes into
    // the column of its middle sample: only runs no longer than a column
    // are taken, so a sample moves by half a column at most. Until the
    // build is complete no sample is read again and fine runs stand in.
    ColumnEnvelope envelope(std::uint64_t start, std::uint64_t end, std::uint32_t columns);

    // The reading of the sample within half an interval of `time`; false
    // in a gap, or before the build is complete.
    bool valueAt(std::uint64_t time, float& value);

    DataFile& file() const { return file_; }
    // Bytes held by the summaries.
    std::size_t memoryBytes() const;

private:
    struct Block {
        DataBlock* block;
        std::uint64_t start;
        std::uint32_t interval, count, fineRun;
        std::uint32_t fine, coarse;  // its first runs in fine_ and coarse_
        SampleExtent whole;
        bool breakBefore;  // a gap or a restart of the recording before it
        std::uint64_t lastTime() const { return start + std::uint64_t(count - 1) * interval; }
    };

    std::uint64_t summarise(DataBlock& b);
    // Samples from..to of a block, read again, into the envelope.
    void addSamples(ColumnEnvelope& env, const Block& e, const DataTypeAr& samples, std::uint32_t from, std::uint32_t to);
    // The block's samples, loaded again when let go; kept while in view.
    const DataTypeAr* samplesOf(DataBlock& b);

    DataFile& file_;
    std::optional<DataFileIter> walk_;
    DataBlock* next_ = nullptr;
    bool complete_ = false;
    std::uint64_t first_ = 0, last_ = 0;
    std::vector<Block> blocks_;
    std::vector<SampleExtent> fine_, coarse_;
    std::vector<DataBlock*> loaded_, used_;
};
