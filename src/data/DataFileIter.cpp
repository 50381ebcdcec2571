#include "data/DataFileIter.h"

#include <unordered_set>
#include <vector>

#include "notice/UserNotice.h"
#include "storage/IO.h"

DataFileIter::DataFileIter(DataFile& f) : file(&f), cursor(f.blocks) { reset(); }

void DataFileIter::reset() {
    DataBlock* b = cursor.first();
    sampleInBlock = 0;
    sampleNumber = 0;
    time = b ? b->startTime : CTime();
}

void DataFileIter::standOnLast(DataBlock* b) {
    sampleInBlock = b && b->count ? b->count - 1u : 0;
    time = b ? b->endTime : CTime();
}

DataBlock* DataFileIter::nextBlock() {
    if (!cursor.node) return nullptr;
    if (cursor.advance(1)) return cursor.current();
    DataBlock* last = cursor.current();
    IO* io = file->stream();
    if (last && last->next != 0 && io) {
        NoticeSource source(io->name());
        file->blocks.readNext(*io, last->next, ReadFlags::ReadHeader | ReadFlags::ReadSamples | file->verify);
        if (cursor.advance(1)) return cursor.current();
    }
    return nullptr;
}

int DataFileIter::advance(std::uint32_t n) {
    status = SeekStatus::SameBlock;
    // The number of the current block's first sample, kept so that running
    // off the end still leaves the number of the last sample.
    std::uint64_t base = sampleNumber - sampleInBlock;
    std::uint64_t k = std::uint64_t(sampleInBlock) + n;
    DataBlock* b = cursor.current();
    while (b && k >= b->count) {
        k -= b->count;
        base += b->count;
        DataBlock* passed = b;
        b = nextBlock();
        if (!b) {
            standOnLast(passed);
            sampleNumber = static_cast<std::uint32_t>(base - 1);
            status = SeekStatus::AfterEnd;
            return status;
        }
        if (status != SeekStatus::Break)
            status = (b->startCode == 2 || b->startCode == 3) ? SeekStatus::OtherBlock : SeekStatus::Break;
    }
    if (!b) {
        status = SeekStatus::AfterEnd;
        return status;
    }
    sampleInBlock = static_cast<std::uint32_t>(k);
    sampleNumber = static_cast<std::uint32_t>(base + k);
    time = offsetBy(b->startTime, sampleInBlock, b->interval);
    return status;
}

bool DataFileIter::retreat(std::uint32_t n) {
    sampleNumber -= n;
    if (n <= sampleInBlock) {
        sampleInBlock -= n;
    } else {
        std::uint32_t m = n - sampleInBlock;
        for (;;) {
            if (!cursor.retreat(1)) {
                reset();
                return false;
            }
            DataBlock* b = cursor.current();
            if (m > b->count) {
                m -= b->count;
                continue;
            }
            sampleInBlock = b->count - m;
            break;
        }
    }
    DataBlock* b = cursor.current();
    time = offsetBy(b->startTime, sampleInBlock, b->interval);
    return true;
}

int DataFileIter::seekTime(CTime t) {
    status = SeekStatus::SameBlock;
    sampleNumber -= sampleInBlock;
    sampleInBlock = 0;
    time = t;
    DataBlock* b = cursor.current();
    if (!b) return status = SeekStatus::AfterEnd;
    DataBlock* n = nextBlock();
    if (n) cursor.retreat(1);

    bool settleInBlock = false;
    if (t < b->startTime) {
        while (t < b->startTime) {
            status = SeekStatus::OtherBlock;
            if (!cursor.retreat(1)) {
                reset();
                return status = SeekStatus::BeforeStart;
            }
            b = cursor.current();
            sampleNumber -= b->count;
        }
        settleInBlock = true;
    } else if (!n || !(t < n->startTime)) {
        while (t > b->endTime) {
            status = SeekStatus::OtherBlock;
            sampleNumber += b->count;
            DataBlock* passed = b;
            b = nextBlock();
            if (!b) {
                // Past the last sample: stand on it; the time stays the one asked for.
                sampleInBlock = passed->count ? passed->count - 1u : 0;
                sampleNumber -= 1;
                return status = SeekStatus::AfterEnd;
            }
        }
        if (t >= b->startTime) {
            sampleInBlock = unitsSince(t, b->startTime, b->interval);
        } else {
            status = SeekStatus::Break;
            time = b->startTime;
            sampleInBlock = 0;
        }
    } else {
        settleInBlock = true;
    }

    if (settleInBlock) {
        if (t <= b->endTime) {
            sampleInBlock = unitsSince(t, b->startTime, b->interval);
        } else {
            status = SeekStatus::Break;
            time = b->endTime;
            sampleInBlock = b->count ? b->count - 1u : 0;
        }
    }
    sampleNumber += sampleInBlock;
    return status;
}

void DataFileIter::toEnd(bool countToo) {
    DataBlock* b = cursor.current();
    if (!b) return;
    if (countToo) {
        // Count from the current sample through every block after it,
        // loading the rest of the chain on the way.
        std::uint64_t number = std::uint64_t(sampleNumber) + (b->count - 1u) - sampleInBlock;
        while (DataBlock* nb = nextBlock()) {
            number += nb->count;
            b = nb;
        }
        sampleNumber = static_cast<std::uint32_t>(number);
    } else {
        std::uint64_t number = std::uint64_t(sampleNumber) - sampleInBlock;
        while (cursor.advance(1)) {
            number += b->count;
            b = cursor.current();
        }
        sampleNumber = static_cast<std::uint32_t>(number + (b->count ? b->count - 1u : 0));
    }
    standOnLast(cursor.current());
}

double DataFileIter::value() {
    DataBlock* b = cursor.current();
    if (!b) return 0.0;
    file->loadSamples(*b);
    return b->samples && sampleInBlock < b->samples->count ? b->samples->value(static_cast<std::uint16_t>(sampleInBlock)) : 0.0;
}

float DataFileIter::reading() {
    double raw = value();
    DataBlock* b = cursor.current();
    return b ? b->toEngineering(raw) : 0.0f;
}

namespace {

class ChainWalk {
public:
    ChainWalk(DataFile& df, std::uint64_t fileSize) : df_(df), fileSize_(fileSize) {}
    ChainSummary walk();

private:
    void markVisited(IO& io, std::uint32_t lastLoaded);
    void countSamples(IO& io, DataBlock& b) const;

    DataFile& df_;
    std::uint64_t fileSize_;
    std::unordered_set<std::uint32_t> visited_;
    // Records of blocks not kept stay in force for the blocks after them.
    std::vector<std::unique_ptr<ScalesHeader>> scales_;
    std::vector<std::unique_ptr<AlarmHeader>> alarms_;
};

// The reader has walked from the header's first block to the last one
// loaded; a chain that comes back to any of those ends there, as it would.
void ChainWalk::markVisited(IO& io, std::uint32_t lastLoaded) {
    for (std::uint32_t at = df_.blocks.firstBlock; at != 0 && at != lastLoaded && visited_.insert(at).second;) {
        io.seek(at + 8);
        const std::uint32_t next = io.getWord32();
        at = next & 0x80000000u ? 0 : next;
    }
    visited_.insert(lastLoaded);
}

// What reading the samples would leave of the count, and the error it
// would raise.
void ChainWalk::countSamples(IO& io, DataBlock& b) const {
    static constexpr std::uint32_t SampleSize[4] = {2, 2, 4, 1};
    if (io.hasMainError()) {
        b.count = 0;
    } else if (b.count != 0) {
        if (!makeSampleArray(b.dataType(), b.count)) {
            IO::setCode(io.mainError, ErrorCode::BadType);
            b.count = 0;
        } else {
            const std::uint64_t first = b.firstSampleOffset();
            const std::uint64_t whole = fileSize_ > first ? (fileSize_ - first) / SampleSize[b.dataType()] : 0;
            if (whole < b.count) {
                b.count = static_cast<std::uint16_t>(whole);
                IO::setCode(io.mainError, ErrorCode::EndOfFile);
            }
        }
    }
    b.endTime = b.count ? offsetBy(b.startTime, b.count - 1u, b.interval) : b.startTime;
}

// BlockList::readNext's walk, on to the end of the chain.
ChainSummary ChainWalk::walk() {
    ChainSummary s;
    VArrayIter<DataBlock> loaded(df_.blocks);
    const DataBlock* last = nullptr;
    for (DataBlock* b = loaded.first(); b; b = loaded.advance(1) ? loaded.current() : nullptr) {
        ++s.blocks;
        s.samples += b->count;
        last = b;
    }
    IO* io = df_.stream();
    if (!last) return s;
    s.last = last->endTime;
    if (!io || !io->isOpen() || io->hasMainError()) return s;
    NoticeSource source(io->name());
    markVisited(*io, last->address);
    // Those links were read once already; reading them again fails only
    // where the walk to come fails too.
    io->mainError = ErrorRecord{};

    ScalesHeader* scale = last->scale;
    AlarmHeader* alarms = last->alarms;
    std::uint32_t expectedPrev = last->address;
    const std::uint8_t flags = ReadFlags::ReadHeader | df_.verify;
    for (std::uint32_t at = last->next; at != 0;) {
        if (!visited_.insert(at).second) {
            IO::setCode(io->mainError, ErrorCode::CorruptPointers);
            break;
        }
        DataBlock b;
        b.scale = scale;
        b.alarms = alarms;
        const std::uint32_t next = b.readHeader(*io, at, flags);
        countSamples(*io, b);
        if (!io->hasMainError() && b.prev != expectedPrev) {
            showError("Corrupt Pointers.\nBlock Data Ignored.");
        } else if (b.count != 0) {
            ++s.blocks;
            s.samples += b.count;
            s.last = b.endTime;
        }
        scale = b.scale;
        alarms = b.alarms;
        if (b.ownScale) scales_.push_back(std::move(b.ownScale));
        if (b.ownAlarms) alarms_.push_back(std::move(b.ownAlarms));
        expectedPrev = at;
        at = next;
    }
    return s;
}

}  // namespace

ChainSummary summarizeChain(DataFile& df, std::uint64_t fileSize) { return ChainWalk(df, fileSize).walk(); }
