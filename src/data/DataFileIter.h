#pragma once
// A time-ordered position among one data file's samples. Further blocks
// are loaded from the file when the iterator first steps into them.
#include <cstdint>

#include "data/DataFile.h"
#include "data/VArray.h"
#include "time/CTime.h"

// Results of a positioning.
namespace SeekStatus {
inline constexpr int SameBlock = 1;
inline constexpr int OtherBlock = 2;  // crossed blocks without a break
inline constexpr int Break = 3;       // crossed a break, or snapped to a block edge in a gap
inline constexpr int AfterEnd = 0;    // stands on the last sample
inline constexpr int BeforeStart = -1;  // stands on the first sample
}  // namespace SeekStatus

class DataFileIter {
public:
    // The file must hold at least one loaded block.
    explicit DataFileIter(DataFile& f);

    void reset();
    // Stands on the last sample. With countToo, every remaining block of
    // the chain is loaded first and counted into the sample number.
    void toEnd(bool countToo);
    int advance(std::uint32_t n);
    bool retreat(std::uint32_t n);
    int seekTime(CTime t);
    // The block after the current one (loaded when needed), or null at the
    // end of the chain; the cursor moves onto it.
    DataBlock* nextBlock();
    // The current sample's raw value (0 when the block has no samples).
    double value();
    // The current sample in engineering units, through the scale in force.
    float reading();
    DataBlock* block() const { return cursor.current(); }

    DataFile* file;
    VArrayIter<DataBlock> cursor;
    std::uint32_t sampleInBlock = 0;
    std::uint32_t sampleNumber = 0;
    CTime time;
    std::int32_t status = 0;

private:
    void standOnLast(DataBlock* b);
};

// The usable blocks of a data file's whole chain as loading the rest would
// find them, from the block headers alone: the chain goes on from the last
// block loaded with the reader's checks, messages, records in force and
// stops, but no sample is read. A count is cut to the whole samples the
// file of fileSize bytes holds, as a read meeting its end cuts it, and
// raises the same error; the checksums and float checks of the samples are
// what is not done.
struct ChainSummary {
    std::uint32_t blocks = 0;
    std::uint64_t samples = 0;
    CTime last;  // the time of the last sample
};
ChainSummary summarizeChain(DataFile& df, std::uint64_t fileSize);
