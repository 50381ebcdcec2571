#pragma once
// One recording block of a data file: its header fields, its samples and
// the scale and alarm records in force for it.
#include <cstdint>
#include <memory>

#include "data/HeaderRecords.h"
#include "data/SampleArrays.h"
#include "time/CTime.h"

class IO;

namespace ReadFlags {
inline constexpr std::uint8_t ReadHeader = 0x01;
inline constexpr std::uint8_t ReadSamples = 0x02;
inline constexpr std::uint8_t Verify = 0x08;
}  // namespace ReadFlags

namespace BlockFlags {
inline constexpr std::uint8_t TypeMask = 0x03;
inline constexpr std::uint8_t MidScale = 0x04;     // in memory
inline constexpr std::uint8_t Logarithmic = 0x08;  // in memory
inline constexpr std::uint8_t StoredSpare = 0x1C;  // on file
inline constexpr std::uint8_t OwnScale = 0x40;
inline constexpr std::uint8_t OwnAlarms = 0x80;
}  // namespace BlockFlags

enum class ChecksumResult : std::uint8_t { NotChecked, Match, Mismatch };

// Interval limits, in ticks.
inline constexpr std::int64_t MaxInterval = 60000000;
inline constexpr std::uint32_t FallbackInterval = 2500;

class DataBlock {
public:
    DataBlock() = default;
    DataBlock(DataBlock&&) = default;
    DataBlock& operator=(DataBlock&&) = default;

    // Reads the block header at the address; returns the next address, or
    // 0 when the addresses are corrupt.
    std::uint32_t readHeader(IO& io, std::uint32_t at, std::uint8_t readFlags);
    // With ReadHeader: readHeader and return the next address; otherwise
    // position at the first sample byte and return that offset. Then, with
    // ReadSamples, read the samples.
    std::uint32_t load(IO& io, std::uint32_t at, std::uint8_t readFlags);

    std::uint8_t dataType() const { return flags & BlockFlags::TypeMask; }
    std::uint32_t firstSampleOffset() const;
    // The engineering value of a raw sample, through the scale in force.
    float toEngineering(double raw);

    std::uint32_t prev = 0;
    std::uint32_t next = 0;
    std::uint32_t address = 0;
    std::uint16_t count = 0;
    CTime endTime;
    CTime startTime;
    std::uint32_t interval = 0;
    std::uint8_t startCode = 0;
    std::uint8_t flags = 0;
    std::uint8_t spareBits = 0;
    std::uint16_t byteCount = 0;
    std::unique_ptr<DataTypeAr> samples;
    ScalesHeader* scale = nullptr;  // owned (ownScale) when flags bit 6 is set
    AlarmHeader* alarms = nullptr;  // owned (ownAlarms) when flags bit 7 is set
    std::unique_ptr<ScalesHeader> ownScale;
    std::unique_ptr<AlarmHeader> ownAlarms;
    std::uint16_t storedChecksum = 0;
    std::uint16_t checksumState = 0;
    // The register after the header part: samples read again start from it.
    std::uint16_t headerChecksum = 0;
    ChecksumResult checksum = ChecksumResult::NotChecked;

private:
    void readSamples(IO& io, std::uint8_t readFlags);
    void setEndTime();
};
