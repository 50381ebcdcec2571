#pragma once
// The recorder files the end-to-end scenarios choose in the program.
#include <string>

namespace drive {

// Two channels of different rates on 5 March 2004: BOILER from 10:15:00
// every 10 s to 13:01:30 (two blocks), FLOW from 10:40:00 every 30 s to
// 13:09:30.
void writeBoiler(const std::string& path);
void writeFlow(const std::string& path);
// Alarm/event file with input labels and a wrapped ring.
void writeAlarms(const std::string& path);
// A header of file type 2, which the program does not read.
void writeTypeTwo(const std::string& path);
// A data file cut short inside its first block.
void writeTruncated(const std::string& path);

std::string readBytes(const std::string& path);
bool writeText(const std::string& path, const std::string& text);

}  // namespace drive
