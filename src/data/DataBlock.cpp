#include "data/DataBlock.h"

#include <cstdio>

#include "notice/UserNotice.h"
#include "storage/IO.h"

namespace {

constexpr std::uint32_t SampleSize[4] = {2, 2, 4, 1};

// A stored interval to ticks: zero or below counts hundredths of a second.
// Invalid values become 4 samples per second, with the two messages.
std::uint32_t intervalTicks(std::int32_t stored, std::uint32_t address) {
    std::int64_t ticks = stored > 0 ? stored : -100 * static_cast<std::int64_t>(stored);
    if (ticks >= 1 && ticks <= MaxInterval) return static_cast<std::uint32_t>(ticks);
    showError("Illegal storage rate. Rate set at 4 samples / second");
    char text[32];
    std::snprintf(text, sizeof text, "Address = 0x%lX", static_cast<unsigned long>(address));
    showError(text);
    return FallbackInterval;
}

}  // namespace

std::uint32_t DataBlock::readHeader(IO& io, std::uint32_t at, std::uint8_t /*readFlags*/) {
    address = at;
    io.seek(at);
    io.checksum = 0;
    byteCount = io.getWord16();
    storedChecksum = io.getWord16();
    io.seek(at + 4);
    prev = io.getWord32();
    next = io.getWord32();
    if ((prev | next) & 0x80000000u) {
        IO::setCode(io.mainError, ErrorCode::CorruptPointers);
        return 0;
    }

    io.checksum = 0xFFA5;
    io.setCrcMode(true);
    startTime = readStored(io);
    const auto stored = static_cast<std::int32_t>(io.getWord32());
    // After a main error the reads were zeros, not an interval to complain of.
    interval = io.hasMainError() ? FallbackInterval : intervalTicks(stored, at);
    startCode = io.getByte();
    flags = io.getByte();
    spareBits = static_cast<std::uint8_t>((flags & BlockFlags::StoredSpare) >> 2);
    flags &= static_cast<std::uint8_t>(~BlockFlags::StoredSpare);
    io.setCrcMode(false);
    checksumState = io.checksum;

    if (flags & BlockFlags::OwnAlarms) {
        ownAlarms = std::make_unique<AlarmHeader>();
        ownAlarms->read(io);
        alarms = ownAlarms.get();
    }
    io.checksum = checksumState;
    io.setCrcMode(true);
    if (flags & BlockFlags::OwnScale) {
        ownScale = std::make_unique<ScalesHeader>();
        ownScale->read(io);
        scale = ownScale.get();
    }
    io.setCrcMode(false);
    checksumState = headerChecksum = io.checksum;

    if (scale) {
        flags = static_cast<std::uint8_t>((flags & ~(BlockFlags::MidScale | BlockFlags::Logarithmic)) |
                                          (scale->options & 0x40 ? BlockFlags::MidScale : 0) |
                                          (scale->options & 0x80 ? BlockFlags::Logarithmic : 0));
        scale->units.applyFlags(flags);
    }
    count = static_cast<std::uint16_t>(byteCount / SampleSize[dataType()]);
    setEndTime();
    return next;
}

std::uint32_t DataBlock::firstSampleOffset() const {
    std::uint32_t offset = address + 24;
    if (flags & BlockFlags::OwnAlarms) offset += static_cast<std::uint32_t>(alarms ? alarms->storedSize() : 1);
    if (flags & BlockFlags::OwnScale) offset += 19;
    return offset;
}

std::uint32_t DataBlock::load(IO& io, std::uint32_t at, std::uint8_t readFlags) {
    std::uint32_t result;
    if (readFlags & ReadFlags::ReadHeader) {
        result = readHeader(io, at, readFlags);
    } else {
        result = firstSampleOffset();
        io.seek(result);
    }
    if (readFlags & ReadFlags::ReadSamples) readSamples(io, readFlags);
    return result;
}

void DataBlock::readSamples(IO& io, std::uint8_t readFlags) {
    if (io.hasMainError()) {
        count = 0;
        setEndTime();
        return;
    }
    if (count == 0) return;
    samples = makeSampleArray(dataType(), count);
    if (!samples) {
        IO::setCode(io.mainError, ErrorCode::BadType);
        count = 0;
        setEndTime();
        return;
    }
    io.checksum = headerChecksum;
    io.setCrcMode(true);
    samples->readAll(io);
    io.setCrcMode(false);
    checksumState = io.checksum;
    if (samples->count < count) {
        count = samples->count;
        setEndTime();
    }
    if (!io.hasMainError()) {
        checksum = checksumState == storedChecksum ? ChecksumResult::Match : ChecksumResult::Mismatch;
        if ((readFlags & ReadFlags::Verify) && checksum == ChecksumResult::Mismatch)
            IO::reportCode(io.secondaryError, ErrorCode::ChecksumError);
    }
}

void DataBlock::setEndTime() {
    // An empty block has no last sample; its end is its start.
    endTime = count ? offsetBy(startTime, count - 1u, interval) : startTime;
}

float DataBlock::toEngineering(double raw) {
    if (!scale) return static_cast<float>(raw);
    UNITS& u = scale->units;
    // A record shared by blocks of different types or options holds the
    // flags of the block read last; convert with this block's own.
    constexpr std::uint8_t Conversion = BlockFlags::TypeMask | BlockFlags::MidScale | BlockFlags::Logarithmic;
    if ((u.flags & Conversion) != (flags & Conversion)) u.applyFlags(flags);
    return u.toEngineering(raw);
}
