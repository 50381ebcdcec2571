#pragma once
// The recorder files a command works on: each directory given stands for
// the files of the kind in it (descending with recursive), sorted by name.
#include <string>
#include <vector>

class ConsoleNotice;

enum class RecorderKind { Data, Events };

// Data files end in .DC followed by anything, alarm/event files in .ALM;
// case does not matter.
bool hasRecorderExtension(const std::string& path, RecorderKind kind);

// A directory that cannot be listed or holds no such file is reported and
// skipped (an error of that input).
std::vector<std::string> expandInputs(const std::vector<std::string>& given, RecorderKind kind, bool recursive, ConsoleNotice& notice);
