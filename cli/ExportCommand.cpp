#include "ExportCommand.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "CommandSupport.h"
#include "ConsoleNotice.h"
#include "InputFiles.h"
#include "StopSignals.h"
#include "export/DataExport.h"

namespace {

int choice(const std::string& value, std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* n : names) {
        if (value == n) return i;
        ++i;
    }
    return -1;
}

int usage(const std::string& text) {
    std::fprintf(stderr, "harvex export: %s\n", text.c_str());
    return 2;
}

}  // namespace

int runExport(const ExportCommandOptions& o, ConsoleNotice& notice) {
    ExportOptions options;
    int time = choice(o.time, {"sample", "elapsed", "12h", "24h", "iso", "seconds"});
    int date = choice(o.date, {"none", "mdy", "dmy"});
    int split = choice(o.split, {"none", "minute", "hour", "day", "week", "month"});
    if (time < 0) return usage("--time takes sample, elapsed, 12h, 24h, iso or seconds, not \"" + o.time + "\"");
    if (date < 0) return usage("--date takes none, mdy or dmy, not \"" + o.date + "\"");
    if (split < 0) return usage("--split takes none, minute, hour, day, week or month, not \"" + o.split + "\"");
    std::string problem;
    std::optional<CsvDialect> dialect = makeDialect(o.dialect, problem);
    if (!dialect) return usage(problem);
    if (time >= 4) {
        if (date != 0) return usage("--date does not go with --time " + o.time + ", which writes its own form");
        // Made from the 24-hour time with month-first date, or the elapsed time.
        dialect->time = time == 4 ? CsvDialect::TimeStyle::Iso : CsvDialect::TimeStyle::Seconds;
        dialect->timeTitle = time == 4 ? "Date and time" : "Elapsed seconds";
        date = time == 4 ? 1 : 0;
        time = time == 4 ? 3 : 1;
    }
    options.timeFormat = static_cast<std::uint8_t>(time);
    options.dateFormat = static_cast<std::uint8_t>(date);
    options.interval = static_cast<std::uint8_t>(split);
    options.rowsPerFile = o.splitRows;
    options.overwrite = o.force;
    std::optional<CsvRewriter> rewriter;
    if (!dialect->isDefault()) options.dialect = &rewriter.emplace(*dialect);
    std::optional<CTime> start, end;
    if (std::string problem = parseSpanOptions(o.start, o.end, start, end); !problem.empty()) return usage(problem);
    if (start && end && *end < *start) return usage("--end is before --start");
    const bool toStdout = o.output == "-";
    if (toStdout && (split > 0 || o.splitRows)) return usage("-o - writes one stream; it cannot be split with --split or --split-rows");

    const std::vector<std::string> files = expandInputs(o.files, RecorderKind::Data, o.recursive, notice);
    if (files.size() > static_cast<std::size_t>(MaxExportFiles))
        return usage("at most " + std::to_string(MaxExportFiles) + " data files go into one export (" + std::to_string(files.size()) + " given)");
    std::vector<std::unique_ptr<dFileIt>> items;
    for (const std::string& path : files)
        if (std::shared_ptr<DataFile> df = openDataFile(path, notice)) items.push_back(std::make_unique<dFileIt>(std::move(df)));
    notice.beginFile("");
    if (items.empty()) {
        std::fprintf(stderr, "harvex export: no data file to export\n");
        return 1;
    }

    // The span of all chosen files, as the desktop program fills it in.
    CTime first, last;
    for (std::size_t i = 0; i < items.size(); ++i) {
        DataFileIter probe = items[i]->iter;
        probe.reset();
        CTime f = probe.time;
        probe.toEnd(true);
        if (i == 0 || f < first) first = f;
        if (i == 0 || probe.time > last) last = probe.time;
    }

    std::vector<dFileIt> array;
    array.reserve(items.size());
    for (auto& item : items) array.emplace_back(item->file);
    items.clear();

    if (!toStdout && !o.quiet && stderrIsTerminal()) {
        options.progress = [](double share) {
            std::fprintf(stderr, "\rexporting: %3d%%", static_cast<int>(share * 100));
            std::fflush(stderr);
        };
    }
    if (toStdout) options.stream = stdout;
    if (toStdout && options.dialect) binaryStdout();
    notice.beginFile(toStdout ? "" : o.output);
    DataExporter exporter(array.data(), static_cast<int>(array.size()), options);
    ExportResult result = exporter.run(start.value_or(first), end.value_or(last), o.output);
    if (options.progress) std::fprintf(stderr, "\r               \r");
    // Closing each file reports what loading its later blocks met.
    for (dFileIt& item : array) {
        notice.beginFile(item.file->stream()->name());
        item.file->close();
    }
    if (result == ExportResult::NoData) {
        std::fprintf(stderr, "harvex export: no samples in the chosen span; nothing written\n");
        return 1;
    }
    if (result == ExportResult::Failed) return 3;
    if (result == ExportResult::Stopped) return stoppedStatus();
    if (toStdout && std::fflush(stdout) != 0) return 3;
    if (o.dialect.excel && rewriter && rewriter->mostRowsInOneFile() + 1 > SpreadsheetRows)
        std::fprintf(stderr, "harvex export: warning: %s holds %llu rows in one file; a spreadsheet shows at most %lu (see --split-rows)\n",
                     o.output.c_str(), static_cast<unsigned long long>(rewriter->mostRowsInOneFile() + 1), SpreadsheetRows);
    return notice.totalErrors() ? 1 : 0;
}
