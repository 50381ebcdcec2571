#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "DialectOptions.h"

class ConsoleNotice;

struct ExportCommandOptions {
    std::vector<std::string> files;
    std::string output;
    std::string start;
    std::string end;
    std::string time = "elapsed";
    std::string date = "none";
    std::string split = "none";
    std::uint64_t splitRows = 0;
    bool recursive = false;
    DialectOptions dialect;
    bool force = false;
    bool quiet = false;
};

// Merges the data files into one export; returns the exit status: 0 all
// exported, 1 an input skipped, 2 a usage error, 3 an output not written.
int runExport(const ExportCommandOptions& options, ConsoleNotice& notice);
