#pragma once
// Where a data file's recording stops and starts again: the gaps between
// its blocks (time without samples) and the breaks (a block whose start
// code does not continue the recording, or after blocks were skipped).
#include <cstdint>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "notice/UserNotice.h"

struct ChainGap {
    CTime after;    // the last sample before it
    CTime resumes;  // the first sample after it
    std::int64_t ticks = 0;  // time no sample interval covers; negative when blocks overlap
    std::uint8_t startCode = 0;  // of the block that resumes, as held in memory
    bool isBreak = false;
};

struct ChainGapReport {
    std::vector<ChainGap> gaps;
    std::uint64_t recordedTicks = 0;  // every sample's interval
    std::uint64_t gapTicks = 0;
    std::uint32_t breaks = 0;
    std::uint32_t skippedBlocks = 0;  // for corrupt back addresses
    std::uint32_t checksumErrors = 0;
};

// Counts the blocks the reader drops for corrupt back addresses while
// passing every message on.
class SkippedBlockCounter : public UserNotice {
public:
    explicit SkippedBlockCounter(UserNotice* next) : next_(next) {}
    int messageBox(const std::string& text, const std::string& caption, unsigned type) override;
    void setBusy(bool busy) override;
    std::uint32_t skipped() const { return skipped_; }

private:
    UserNotice* next_;
    std::uint32_t skipped_ = 0;
};

// Loads the whole chain (samples and checksums too) and walks its blocks.
ChainGapReport findChainGaps(DataFile& df);
