#pragma once
// The usable blocks of a data file loaded so far, in chain order, with the
// file's own alarm and scale records.
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "data/DataBlock.h"
#include "data/HeaderRecords.h"
#include "data/VArray.h"

class IO;

class BlockList : public VArray<DataBlock> {
public:
    static constexpr std::uint32_t ChunkSize = 1024;

    BlockList() : VArray<DataBlock>(ChunkSize) {}

    // Loads blocks along the chain until one usable block has been
    // appended. Address 0 starts at the header's first block; any other
    // continues the chain from there. Returns whether a block was appended.
    bool readNext(IO& io, std::uint32_t start, std::uint8_t readFlags);
    void reset();
    std::uint32_t loadedCount() const { return loaded_; }

    // Where the chain stopped: the block whose reading raised the stream's
    // main error first, and that error's code (0: none yet).
    struct Stop {
        std::uint32_t address = 0;
        int code = 0;
    };
    Stop stop() const { return stop_; }

    std::uint32_t firstBlock = 0;
    std::uint32_t lastBlock = 0;
    AlarmHeader fileAlarms;
    ScalesHeader fileScale;

private:
    // Records carried by blocks that were dropped stay in force for the
    // blocks after them (the recorder changed its scale there), so the
    // list keeps them alive.
    std::vector<std::unique_ptr<ScalesHeader>> keptScales_;
    std::vector<std::unique_ptr<AlarmHeader>> keptAlarms_;
    // Every block address visited: a chain that comes back to one would
    // otherwise be walked for ever.
    std::unordered_set<std::uint32_t> visited_;
    std::uint32_t loaded_ = 0;
    // The chain has been followed to its end: walking it again would meet
    // the visited blocks and replace the error that ended it.
    bool ended_ = false;
    Stop stop_;
};
