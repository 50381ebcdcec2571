#include "ChainGaps.h"

#include "data/DataFileIter.h"

int SkippedBlockCounter::messageBox(const std::string& text, const std::string& caption, unsigned type) {
    if (text.rfind("Corrupt Pointers.", 0) == 0) ++skipped_;
    return next_ ? next_->messageBox(text, caption, type) : BoxAnswer::None;
}

void SkippedBlockCounter::setBusy(bool busy) {
    if (next_) next_->setBusy(busy);
}

ChainGapReport findChainGaps(DataFile& df) {
    ChainGapReport r;
    if (!df.hasBlocks()) return r;
    DataFileIter it(df);
    it.toEnd(true);
    VArrayIter<DataBlock> walk(df.blocks);
    const DataBlock* previous = nullptr;
    for (DataBlock* b = walk.first(); b; b = walk.advance(1) ? walk.current() : nullptr) {
        r.recordedTicks += std::uint64_t(b->count) * b->interval;
        if (b->checksum == ChecksumResult::Mismatch) ++r.checksumErrors;
        if (previous) {
            // Where the next sample would have been had the recording gone on.
            const std::uint64_t due = previous->endTime.ticks() + previous->interval;
            ChainGap g;
            g.after = previous->endTime;
            g.resumes = b->startTime;
            g.ticks = static_cast<std::int64_t>(b->startTime.ticks() - due);
            g.startCode = b->startCode;
            g.isBreak = b->startCode != 2 && b->startCode != 3;
            if (g.ticks > 0) r.gapTicks += static_cast<std::uint64_t>(g.ticks);
            if (g.isBreak) ++r.breaks;
            if (g.ticks != 0 || g.isBreak) r.gaps.push_back(g);
        }
        previous = b;
    }
    return r;
}
