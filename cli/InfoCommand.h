#pragma once
#include <string>
#include <vector>

class ConsoleNotice;

struct InfoOptions {
    std::vector<std::string> files;
    bool blocks = false;
    bool gaps = false;
    bool json = false;
};

// Describes each recorder file; returns the exit status.
int runInfo(const InfoOptions& options, ConsoleNotice& notice);
