#pragma once
#include <string>
#include <vector>

class ConsoleNotice;

struct ExportCommandOptions {
    std::vector<std::string> files;
    std::string output;
    std::string start;
    std::string end;
    std::string time = "elapsed";
    std::string date = "none";
    std::string split = "none";
    bool force = false;
    bool quiet = false;
};

// Merges the data files into one export; returns the exit status.
int runExport(const ExportCommandOptions& options, ConsoleNotice& notice);
