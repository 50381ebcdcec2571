// harvex: the command-line face of Harvex Utility, for batch work and scripts.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "ConsoleNotice.h"
#include "EventsCommand.h"
#include "ExportCommand.h"
#include "InfoCommand.h"
#include "StopSignals.h"
#include "plot/PlotCommand.h"

namespace {

constexpr const char* ExitCodes =
    "Exit status: 0 all exported; 1 an input was skipped or the span holds no samples (see the messages); 2 a usage error; "
    "3 an output could not be written (3 wins over 1); 130 stopped by Ctrl+C, 143 by kill (SIGTERM), 129 by a closed "
    "terminal. An output is written under a temporary name beside it and renamed when whole: a failed or stopped "
    "export leaves the file it would replace as it was.";

void addQuiet(CLI::App& cmd, bool& quiet) { cmd.add_flag("--quiet", quiet, "No progress on the terminal"); }

void addDialectOptions(CLI::App& cmd, DialectOptions& d, bool& recursive, const char* kind) {
    cmd.add_flag("--recursive", recursive, std::string("A directory given stands for its ") + kind + " files, sorted by name; with this, those of its subdirectories too");
    cmd.add_option("--delimiter", d.delimiter, "Field delimiter in place of the comma: one character such as ';', or \\t / tab")
        ->check(CLI::Validator([](std::string& v) { return v.empty() ? std::string("takes one character, \\t or tab") : std::string(); },
                               "CHAR"));
    cmd.add_flag("--decimal-comma", d.decimalComma, "Decimal comma in the numbers (needs a delimiter other than the comma)");
    cmd.add_flag("--trim", d.trim, "Numbers without the blanks that pad them to a fixed width");
    cmd.add_option("--encoding", d.encoding,
                   "cp1252: the labels' bytes as the recorder stores them (Windows-1252; the default); utf8: converted to UTF-8");
    cmd.add_flag("--bom", d.bom, "Start each output file with a UTF-8 byte-order mark (implies --encoding utf8)");
    cmd.add_flag("--crlf", d.crlf, "CR LF line ends");
    cmd.add_flag("--lf", d.lf, "LF line ends (default: the platform's, CR LF on Windows)");
    cmd.add_flag("--excel", d.excel,
                 "For a spreadsheet: sets --encoding utf8 --bom --crlf and, when the locale writes a decimal comma "
                 "(LC_ALL, LC_NUMERIC or LANG, the first set; on Windows the user's setting), also --delimiter ';' "
                 "--decimal-comma; options given as well take precedence. Warns when one file passes 1,048,576 rows");
}

// The span of the samples a command takes; parseSpanOptions reads them.
void addSpanOptions(CLI::App& cmd, std::string& start, std::string& end) {
    cmd.add_option("--start", start, "First time, \"YYYY-MM-DD HH:MM:SS\" (default: the earliest first sample)");
    cmd.add_option("--end", end, "Last time, \"YYYY-MM-DD HH:MM:SS\" (default: the latest last sample)");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"harvex - read recorder data and alarm/event files and export them as comma-separated text"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "harvex " HX_VERSION);

    InfoOptions info;
    CLI::App* infoCmd = app.add_subcommand("info", "Describe recorder files: header, label, scale, blocks, samples and time span; "
                                                   "alarm/event files: ring, records, first and last event, counts per kind");
    infoCmd->add_option("FILE", info.files, "Recorder files (*.DC*, *.ALM)")->required();
    infoCmd->add_flag("--blocks", info.blocks, "Add one line per block: address, start, interval, samples, type, start code, records, checksum");
    infoCmd->add_flag("--gaps", info.gaps,
                      "List every gap (time without samples) and break (start code other than 2 or 3, or after skipped blocks) "
                      "between blocks, and sum up recorded time, gap time, breaks, blocks skipped for bad pointers and checksum errors");
    infoCmd->add_flag("--json", info.json,
                      "Print one JSON document instead of text, with times as YYYY-MM-DDTHH:MM:SS.ss. Times are the "
                      "recorder's local time: the files hold no time zone");
    addQuiet(*infoCmd, info.quiet);

    ExportCommandOptions exp;
    CLI::App* exportCmd = app.add_subcommand("export", "Merge up to 15 data files on one time axis into comma-separated text");
    exportCmd->add_option("FILE", exp.files, "Recorder data files (*.DC*), or directories of them")->required();
    exportCmd->add_option("-o,--output", exp.output, "Output file; - writes to standard output")->required();
    addSpanOptions(*exportCmd, exp.start, exp.end);
    exportCmd->add_option("--time", exp.time,
                          "Time column: sample, elapsed, 12h, 24h, iso (YYYY-MM-DDTHH:MM:SS.ss, the recorder's local "
                          "time: the files hold no time zone) or seconds (elapsed seconds, two decimals)")
        ->capture_default_str();
    exportCmd->add_option("--date", exp.date, "Date in the time column: none, mdy or dmy")->capture_default_str();
    exportCmd->add_option("--split", exp.split, "One file per none, minute, hour, day, week or month; names count up")->capture_default_str();
    exportCmd->add_option("--split-rows", exp.splitRows, "A new file after N data rows, each with the header line; names count up as with --split, with which it combines")
        ->check(CLI::Validator(
            [](std::string& v) {
                const bool digits = !v.empty() && v.find_first_not_of("0123456789") == std::string::npos;
                return digits ? std::string() : "takes a number of rows, not \"" + v + "\"";
            },
            "N"));
    exportCmd->add_flag("--force", exp.force, "Replace output files that exist");
    addQuiet(*exportCmd, exp.quiet);
    addDialectOptions(*exportCmd, exp.dialect, exp.recursive, "data (*.DC*)");
    exportCmd->footer(ExitCodes);

    EventsCommandOptions ev;
    CLI::App* eventsCmd = app.add_subcommand("events", "Export alarm/event files, one line per event");
    eventsCmd->add_option("FILE", ev.files, "Alarm/event files (*.ALM), or directories of them")->required();
    eventsCmd->add_option("-o,--output", ev.output, "Output file (- for standard output), or a directory for several files")->required();
    eventsCmd->add_option("--clock", ev.clock, "12 or 24-hour time")->capture_default_str();
    eventsCmd->add_option("--date", ev.date, "Date order: mdy (month first) or dmy (day first)")->capture_default_str();
    eventsCmd->add_option("--time", ev.time, "iso: the date column as YYYY-MM-DD and the time 24-hour (the recorder's local time; no zone in the files)");
    eventsCmd->add_flag("--force", ev.force, "Replace output files that exist");
    addQuiet(*eventsCmd, ev.quiet);
    addDialectOptions(*eventsCmd, ev.dialect, ev.recursive, "alarm/event (*.ALM)");
    eventsCmd->footer(ExitCodes);

    PlotOptions plot;
    CLI::App* plotCmd = app.add_subcommand("plot", "Draw data files as a chart (PNG or SVG), one panel per channel");
    plotCmd->add_option("FILE", plot.files, "Recorder data files (*.DC*), or directories of them")->required();
    plotCmd->add_option("-o,--output", plot.output, "The chart: a .png or .svg file")->required();
    addSpanOptions(*plotCmd, plot.start, plot.end);
    plotCmd->add_option("--width", plot.width, "Width in pixels, 200 to 10000")->capture_default_str();
    plotCmd->add_option("--height", plot.height, "Height in pixels, 200 to 10000 (default: 170 a channel)");
    plotCmd->add_flag("--force", plot.force, "Replace the chart if it exists");
    addQuiet(*plotCmd, plot.quiet);
    plotCmd->footer(ExitCodes);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    }

    ConsoleNotice notice;
    setUserNotice(&notice);
    installStopHandlers();
    if (*infoCmd) return runInfo(info, notice);
    if (*exportCmd) return runExport(exp, notice);
    if (*eventsCmd) return runEvents(ev, notice);
#if defined(HX_HAVE_CAIRO)
    if (*plotCmd) return runPlot(plot, notice);
#else
    if (*plotCmd) {
        std::fprintf(stderr, "harvex plot: charts are not available in this build of harvex\n");
        return 2;
    }
#endif
    return 2;
}
