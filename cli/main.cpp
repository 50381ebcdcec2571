// harvex: the command-line face of Harvex Utility, for batch work and scripts.
#include <CLI/CLI.hpp>

#include "ConsoleNotice.h"
#include "EventsCommand.h"
#include "ExportCommand.h"
#include "InfoCommand.h"

int main(int argc, char** argv) {
    CLI::App app{"harvex - read recorder data and alarm/event files and export them as comma-separated text"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "harvex 4.2");

    InfoOptions info;
    CLI::App* infoCmd = app.add_subcommand("info", "Describe recorder files: header, label, scale, blocks, samples and time span");
    infoCmd->add_option("FILE", info.files, "Recorder files (*.DC*, *.ALM)")->required();
    infoCmd->add_flag("--blocks", info.blocks, "Add one line per block: address, start, interval, samples, type, start code, records, checksum");
    infoCmd->add_flag("--json", info.json, "Print one JSON document instead of text");

    ExportCommandOptions exp;
    CLI::App* exportCmd = app.add_subcommand("export", "Merge up to 15 data files on one time axis into comma-separated text");
    exportCmd->add_option("FILE", exp.files, "Recorder data files (*.DC*)")->required();
    exportCmd->add_option("-o,--output", exp.output, "Output file; - writes to standard output")->required();
    exportCmd->add_option("--start", exp.start, "First time, \"YYYY-MM-DD HH:MM:SS\" (default: the earliest first sample)");
    exportCmd->add_option("--end", exp.end, "Last time, \"YYYY-MM-DD HH:MM:SS\" (default: the latest last sample)");
    exportCmd->add_option("--time", exp.time, "Time column: sample, elapsed, 12h or 24h")->capture_default_str();
    exportCmd->add_option("--date", exp.date, "Date in the time column: none, mdy or dmy")->capture_default_str();
    exportCmd->add_option("--split", exp.split, "One file per none, minute, hour, day, week or month; names count up")->capture_default_str();
    exportCmd->add_flag("--force", exp.force, "Replace output files that exist");
    exportCmd->add_flag("--quiet", exp.quiet, "No progress on the terminal");

    EventsCommandOptions ev;
    CLI::App* eventsCmd = app.add_subcommand("events", "Export alarm/event files, one line per event");
    eventsCmd->add_option("FILE", ev.files, "Alarm/event files (*.ALM)")->required();
    eventsCmd->add_option("-o,--output", ev.output, "Output file (- for standard output), or a directory for several files")->required();
    eventsCmd->add_option("--clock", ev.clock, "12 or 24-hour time")->capture_default_str();
    eventsCmd->add_option("--date", ev.date, "Date order: mdy (month first) or dmy (day first)")->capture_default_str();
    eventsCmd->add_flag("--force", ev.force, "Replace output files that exist");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    }

    ConsoleNotice notice;
    setUserNotice(&notice);
    if (*infoCmd) return runInfo(info, notice);
    if (*exportCmd) return runExport(exp, notice);
    if (*eventsCmd) return runEvents(ev, notice);
    return 2;
}
