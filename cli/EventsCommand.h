#pragma once
#include <string>
#include <vector>

class ConsoleNotice;

struct EventsCommandOptions {
    std::vector<std::string> files;
    std::string output;
    std::string clock = "24";
    std::string date = "mdy";
    bool force = false;
};

// Exports each alarm/event file as comma-separated text; returns the exit status.
int runEvents(const EventsCommandOptions& options, ConsoleNotice& notice);
