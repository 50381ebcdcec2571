#pragma once
// harvex plot: a chart of data files, one panel per channel, as PNG or SVG.
// Drawn with cairo, so built only where cairo is found.
#include <string>
#include <vector>

class ConsoleNotice;

struct PlotOptions {
    std::vector<std::string> files;
    std::string output;
    std::string start;
    std::string end;
    int width = 1000;
    int height = 0;  // 0: by the number of panels
    bool force = false;
    bool quiet = false;
};

// Exit status as for the exports: 0, 1 an input skipped, 2 usage, 3 not written.
int runPlot(const PlotOptions& options, ConsoleNotice& notice);
