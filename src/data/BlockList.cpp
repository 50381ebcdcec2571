#include "data/BlockList.h"

#include "notice/UserNotice.h"
#include "storage/IO.h"

void BlockList::reset() {
    clear();
    keptScales_.clear();
    keptAlarms_.clear();
    visited_.clear();
    loaded_ = 0;
    ended_ = false;
    stop_ = Stop{};
}

bool BlockList::readNext(IO& io, std::uint32_t start, std::uint8_t readFlags) {
    ScalesHeader* scale = &fileScale;
    AlarmHeader* alarms = &fileAlarms;
    std::uint32_t expectedPrev = 0;
    bool comparePrev = true;
    std::uint32_t at = start;
    if (start == 0) {
        at = firstBlock;
    } else if (DataBlock* last = tail ? &tail->data[tail->count - 1] : nullptr) {
        scale = last->scale;
        alarms = last->alarms;
        expectedPrev = last->address;
    } else {
        comparePrev = false;
    }
    if (start != 0 && ended_) return false;

    std::uint8_t skipped = 0;
    while (at != 0) {
        const bool clean = !io.hasMainError();
        if (!visited_.insert(at).second) {
            IO::setCode(io.mainError, ErrorCode::CorruptPointers);
            if (clean && !stop_.code) stop_ = {at, ErrorCode::CorruptPointers};
            ended_ = true;
            return false;
        }
        DataBlock block;
        block.scale = scale;
        block.alarms = alarms;
        std::uint32_t next = block.load(io, at, readFlags | ReadFlags::ReadHeader | ReadFlags::ReadSamples);
        if (clean && io.hasMainError() && !stop_.code) stop_ = {at, io.mainError.code};

        bool keep = false;
        if (!io.hasMainError() && comparePrev && block.prev != expectedPrev) {
            showError("Corrupt Pointers.\nBlock Data Ignored.");
            skipped = 0x40;
        } else if (block.count != 0) {
            block.startCode = static_cast<std::uint8_t>(block.startCode + skipped);
            skipped = 0;
            keep = true;
        } else {
            skipped = 0x40;
        }
        // Records of this block stay in force for the blocks that follow.
        scale = block.scale;
        alarms = block.alarms;
        if (keep) {
            *newElement() = std::move(block);
            ++loaded_;
            return true;
        }
        if (block.ownScale) keptScales_.push_back(std::move(block.ownScale));
        if (block.ownAlarms) keptAlarms_.push_back(std::move(block.ownAlarms));
        expectedPrev = at;
        comparePrev = true;
        at = next;
    }
    ended_ = true;
    return false;
}
