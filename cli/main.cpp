// harvex: the command-line face of Harvex Utility, for batch work and scripts.
#include <CLI/CLI.hpp>

#include "ConsoleNotice.h"
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

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    }

    ConsoleNotice notice;
    setUserNotice(&notice);
    if (*infoCmd) return runInfo(info, notice);
    return 2;
}
