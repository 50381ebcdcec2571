#pragma once
#include <string>
#include <vector>

#include "DialectOptions.h"

class ConsoleNotice;

struct EventsCommandOptions {
    std::vector<std::string> files;
    std::string output;
    std::string clock = "24";
    std::string date = "mdy";
    std::string time;  // iso, or empty for the date and clock columns as chosen
    bool recursive = false;
    DialectOptions dialect;
    bool force = false;
    bool quiet = false;
};

// Exports each alarm/event file as comma-separated text; returns the exit
// status as runExport does.
int runEvents(const EventsCommandOptions& options, ConsoleNotice& notice);
