#pragma once
#include <string>
#include <vector>

class ConsoleNotice;

struct InfoOptions {
    std::vector<std::string> files;
    bool blocks = false;
    bool gaps = false;
    bool json = false;
    bool quiet = false;  // taken as every command takes it; info draws no progress
};

// Describes each recorder file; returns the exit status.
int runInfo(const InfoOptions& options, ConsoleNotice& notice);
