#include "data/DataFileIter.h"

#include "storage/IO.h"
#include "ui/UserNotice.h"

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
    if (!b->samples && b->count) {
        if (IO* io = file->stream()) {
            NoticeSource source(io->name());
            b->load(*io, b->address, ReadFlags::ReadSamples | file->verify);
        }
    }
    return b->samples && sampleInBlock < b->samples->count ? b->samples->value(static_cast<std::uint16_t>(sampleInBlock)) : 0.0;
}

float DataFileIter::reading() {
    double raw = value();
    DataBlock* b = cursor.current();
    return b ? b->toEngineering(raw) : 0.0f;
}
