#pragma once
// The benchmark's recordings, made with the test file builder: fifteen
// channels of a million samples each in the four data types at 1 s and 5 s,
// an alarm/event file of a million records, and one large channel for
// `harvex info`.
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

inline constexpr int WorkloadFiles = 15;
inline constexpr std::uint32_t SamplesPerFile = 1000000;
inline constexpr std::uint32_t EventCount = 1000000;
inline constexpr std::uint64_t LargeFileBytes = 100ull << 20;

std::vector<std::string> dataFilePaths(const std::string& dir);
std::string eventFilePath(const std::string& dir);
std::string largeFilePath(const std::string& dir);

// Writes the large channel alone; returns its path.
std::string makeLargeFile(const std::string& dir);

// Writes every file; returns the total size of the fifteen data files.
std::uint64_t makeWorkload(const std::string& dir);

}  // namespace bench
