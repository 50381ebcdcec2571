#include "EventsCommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "CommandSupport.h"
#include "ConsoleNotice.h"
#include "InputFiles.h"
#include "app/AppSettings.h"
#include "events/EventExport.h"

namespace fs = std::filesystem;

namespace {

int usage(const std::string& text) {
    std::fprintf(stderr, "harvex events: %s\n", text.c_str());
    return 2;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

}  // namespace

int runEvents(const EventsCommandOptions& o, ConsoleNotice& notice) {
    if (o.clock != "12" && o.clock != "24") return usage("--clock takes 12 or 24, not \"" + o.clock + "\"");
    if (o.date != "mdy" && o.date != "dmy") return usage("--date takes mdy or dmy, not \"" + o.date + "\"");
    std::string problem;
    std::optional<CsvDialect> dialect = makeDialect(o.dialect, problem);
    if (!dialect) return usage(problem);
    if (!o.time.empty()) {
        if (o.time != "iso") return usage("--time takes iso, not \"" + o.time + "\"");
        if (o.clock != "24" || o.date != "mdy") return usage("--time iso writes its own date (YYYY-MM-DD) and 24-hour time");
        // Made from the month-first date.
        dialect->time = CsvDialect::TimeStyle::Iso;
    }
    std::optional<CsvRewriter> rewriter;
    if (!dialect->isDefault()) rewriter.emplace(*dialect);
    CsvRewriter* rewrite = rewriter ? &*rewriter : nullptr;
    const bool toStdout = o.output == "-";
    std::error_code ec;
    const bool toDirectory = fs::is_directory(o.output, ec);
    const std::vector<std::string> files = expandInputs(o.files, RecorderKind::Events, o.recursive, notice);
    if (files.size() > 1 && !toDirectory)
        return usage("with several files, -o names an existing directory; each file gets <name>.csv there");
    AppSettings.displayFlags = static_cast<std::uint8_t>((o.clock == "24" ? DisplayTime24 : 0) | (o.date == "dmy" ? DisplayDayFirst : 0));
    if (toStdout && rewrite) binaryStdout();

    bool outputFailed = false;
    std::vector<std::string> written;
    const bool showProgress = !o.quiet && !toStdout && files.size() > 1 && stderrIsTerminal();
    std::size_t begun = 0;
    for (const std::string& path : files) {
        if (showProgress) notice.progress("exporting: " + std::to_string(++begun) + " of " + std::to_string(files.size()) + " files");
        notice.beginFile(path);
        std::unique_ptr<File> file = openRecorderOf(RecorderKind::Events, path, notice);
        if (!file) continue;
        EventFile events(std::move(file));
        events.readEvents();
        // Reading has reported what went wrong; a file read in part is not exported.
        if (events.file->stream->hasMainError()) continue;

        std::string out = toDirectory ? (fs::path(o.output) / fs::path(path).stem()).string() + ".csv" : o.output;
        if (toStdout) {
            if (!writeEvents(events, stdout, rewrite)) {
                notice.error("the export to standard output failed");
                outputFailed = true;
            }
            continue;
        }
        const auto among = [&](const std::vector<std::string>& paths) {
            return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return sameFile(out, p); });
        };
        // A second input of the same name (from another directory, or
        // given twice) would replace what the first wrote.
        const char* refusal = among(files)                      ? " is one of the recorder files being exported."
                              : among(written)                  ? " holds the export of another file of the same name."
                              : !o.force && fs::exists(out, ec) ? " exists already."
                                                                : nullptr;
        if (refusal) {
            notice.error("Export not written. " + out + refusal);
            outputFailed = true;
            continue;
        }
        if (exportEvents(events, out, rewrite)) written.push_back(out);
        else outputFailed = true;
    }
    notice.endProgress();
    if (o.dialect.excel && rewrite && rewrite->mostRowsInOneFile() + 1 > SpreadsheetRows)
        std::fprintf(stderr, "harvex events: warning: an export holds %llu rows; a spreadsheet shows at most %lu\n",
                     static_cast<unsigned long long>(rewrite->mostRowsInOneFile() + 1), SpreadsheetRows);
    if (outputFailed) return 3;
    return notice.totalErrors() ? 1 : 0;
}
