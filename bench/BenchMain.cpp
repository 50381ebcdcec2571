// `make bench`: times the data export and the event export against their
// naive references and the write limit, and `harvex info` on a large file.
// Every measured run is a fresh process, so peak memory figures do not mix.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "NaiveWriters.h"
#include "Workload.h"
#include "data/dFileIt.h"
#include "events/EventExport.h"
#include "export/DataExport.h"
#include "storage/DISK.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// Peak resident memory of this process, in KiB.
long peakRssKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

std::uint64_t fileSize(const std::string& path) {
    std::error_code ec;
    auto n = fs::file_size(path, ec);
    return ec ? 0 : n;
}

// ---- the measured runs, each in its own process ----

struct OpenFiles {
    std::vector<dFileIt> items;
    CTime first, last;
    std::uint32_t mostLoaded = 0;  // blocks in memory right after opening
};

OpenFiles openData(const std::string& dir) {
    OpenFiles o;
    bool any = false;
    for (const std::string& path : bench::dataFilePaths(dir)) {
        auto df = std::make_shared<DataFile>(std::make_unique<File>(std::make_unique<DISK>(path)));
        df->open();
        if (!df->hasBlocks()) {
            std::fprintf(stderr, "%s: no usable block\n", path.c_str());
            std::exit(1);
        }
        o.mostLoaded = std::max(o.mostLoaded, df->blocks.loadedCount());
        if (!any || df->firstTime < o.first) o.first = df->firstTime;
        if (!any || df->lastTime > o.last) o.last = df->lastTime;
        any = true;
        o.items.emplace_back(df);
    }
    return o;
}

void report(double seconds, std::uint64_t rows, const std::string& out, std::uint32_t loaded = 0) {
    std::printf("seconds=%.6f rows=%llu bytes=%llu rss=%ld loaded=%u\n", seconds, static_cast<unsigned long long>(rows),
                static_cast<unsigned long long>(fileSize(out)), peakRssKiB(), loaded);
}

int runExport(const std::string& dir, const std::string& out) {
    auto t0 = Clock::now();
    OpenFiles o = openData(dir);
    ExportOptions options;
    options.timeFormat = 3;
    options.dateFormat = 1;
    DataExporter exporter(o.items.data(), static_cast<int>(o.items.size()), options);
    if (exporter.run(o.first, o.last, out) != ExportResult::Written) return 1;
    report(secondsSince(t0), exporter.rows(), out, o.mostLoaded);
    return 0;
}

int runNaive(const std::string& dir, const std::string& out) {
    auto t0 = Clock::now();
    OpenFiles o = openData(dir);
    std::FILE* f = std::fopen(out.c_str(), "wt");
    if (!f) return 1;
    std::uint64_t rows = bench::naiveExportData(o.items.data(), static_cast<int>(o.items.size()), o.first, o.last, f);
    if (std::fclose(f) != 0) return 1;
    report(secondsSince(t0), rows, out, o.mostLoaded);
    return 0;
}

// Only the reading: every block of every file loaded, nothing written.
int runLoad(const std::string& dir) {
    auto t0 = Clock::now();
    OpenFiles o = openData(dir);
    std::uint64_t samples = 0;
    for (dFileIt& item : o.items) {
        item.iter.toEnd(true);
        samples += item.iter.sampleNumber + 1u;
    }
    std::printf("seconds=%.6f rows=%llu bytes=0 rss=%ld loaded=%u\n", secondsSince(t0), static_cast<unsigned long long>(samples),
                peakRssKiB(), o.mostLoaded);
    return 0;
}

// The same number of bytes, from memory, in large writes.
int runWrite(const std::string& out, std::uint64_t bytes) {
    constexpr std::size_t Chunk = 1 << 20;
    std::vector<char> chunk(Chunk);
    for (std::size_t i = 0; i < Chunk; ++i) chunk[i] = i % 100 == 99 ? '\n' : static_cast<char>('0' + i % 10);
    auto t0 = Clock::now();
    int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return 1;
    for (std::uint64_t left = bytes; left > 0;) {
        auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, Chunk));
        ssize_t w = ::write(fd, chunk.data(), n);
        if (w <= 0) return 1;
        left -= static_cast<std::uint64_t>(w);
    }
    if (::close(fd) != 0) return 1;
    report(secondsSince(t0), 0, out);
    return 0;
}

std::unique_ptr<EventFile> readEventFile(const std::string& dir) {
    auto ef = std::make_unique<EventFile>(std::make_unique<File>(std::make_unique<DISK>(bench::eventFilePath(dir))));
    ef->readEvents();
    if (ef->count != bench::EventCount) {
        std::fprintf(stderr, "event file: %u records read\n", ef->count);
        std::exit(1);
    }
    return ef;
}

// Timed from the records in memory: reading the file is the same for both.
int runEvents(const std::string& dir, const std::string& out, bool naive) {
    auto ef = readEventFile(dir);
    auto t0 = Clock::now();
    if (naive) {
        std::FILE* f = std::fopen(out.c_str(), "wt");
        if (!f) return 1;
        bench::naiveExportEvents(*ef, f);
        if (std::fclose(f) != 0) return 1;
    } else if (!exportEvents(*ef, out)) {
        return 1;
    }
    report(secondsSince(t0), ef->count, out);
    return 0;
}

int runGenerate(const std::string& dir) {
    auto t0 = Clock::now();
    std::uint64_t input = bench::makeWorkload(dir);
    std::printf("seconds=%.6f rows=0 bytes=%llu rss=%ld loaded=0\n", secondsSince(t0), static_cast<unsigned long long>(input),
                peakRssKiB());
    return 0;
}

// ---- the driver ----

struct Run {
    double seconds = 0;
    std::uint64_t rows = 0, bytes = 0;
    long rssKiB = 0;
    unsigned loaded = 0;
};

// Runs a program with its output read back; exits on failure.
std::string spawn(const std::vector<std::string>& args, bool quiet = false) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    if (quiet) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && !quiet)) {
        std::fprintf(stderr, "%s %s failed\n", args[0].c_str(), args.size() > 1 ? args[1].c_str() : "");
        std::exit(1);
    }
    return text;
}

Run parse(const std::string& text) {
    Run r;
    unsigned long long rows = 0, bytes = 0;
    if (std::sscanf(text.c_str(), "seconds=%lf rows=%llu bytes=%llu rss=%ld loaded=%u", &r.seconds, &rows, &bytes, &r.rssKiB,
                    &r.loaded) != 5) {
        std::fprintf(stderr, "unexpected output: %s\n", text.c_str());
        std::exit(1);
    }
    r.rows = rows;
    r.bytes = bytes;
    return r;
}

std::string self;

Run measure(const std::vector<std::string>& args) {
    std::vector<std::string> all{self};
    all.insert(all.end(), args.begin(), args.end());
    return parse(spawn(all));
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <class F>
double medianOf(const std::vector<Run>& runs, F f) {
    std::vector<double> v;
    for (const Run& r : runs) v.push_back(f(r));
    return median(v);
}

double medianSeconds(const std::vector<Run>& runs) {
    return medianOf(runs, [](const Run& r) { return r.seconds; });
}

bool sameContents(const std::string& a, const std::string& b) {
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    std::vector<char> ba(1 << 20), bb(1 << 20);
    for (;;) {
        fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        if (fa.gcount() != fb.gcount()) return false;
        if (std::memcmp(ba.data(), bb.data(), static_cast<std::size_t>(fa.gcount())) != 0) return false;
        if (fa.gcount() == 0) return true;
    }
}

double mb(std::uint64_t bytes) { return static_cast<double>(bytes) / 1e6; }
double mib(double kib) { return kib / 1024.0; }

int drive(const std::string& dir, int runs, int naiveRuns, const std::string& harvex, bool keep) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::printf("workload in %s\n", dir.c_str());
    std::fflush(stdout);
    Run gen = measure({"generate", dir});
    const std::uint64_t input = gen.bytes;
    std::printf("  %d data files x %u samples: %.1f MB; events: %u records; large file: %.1f MB (made in %.1f s)\n",
                bench::WorkloadFiles, bench::SamplesPerFile, mb(input), bench::EventCount,
                mb(fileSize(bench::largeFilePath(dir))), gen.seconds);
    std::fflush(stdout);

    const std::string out = dir + "/EXPORT.CSV", reference = dir + "/NAIVE.CSV";
    std::vector<Run> ours, naive, limit;
    bool identical = true;
    for (int r = 0; r < std::max(runs, naiveRuns); ++r) {
        if (r < runs) {
            fs::remove(out);
            ours.push_back(measure({"export", dir, out}));
            fs::remove(out + ".limit");
            limit.push_back(measure({"write", out + ".limit", std::to_string(ours.back().bytes)}));
            fs::remove(out + ".limit");
        }
        if (r < naiveRuns) {
            fs::remove(reference);
            naive.push_back(measure({"naive", dir, reference}));
            if (r == 0) identical = sameContents(out, reference) && ours.back().rows == naive.back().rows;
            fs::remove(reference);
        }
        std::fprintf(stderr, "  data export round %d done\n", r + 1);
    }
    fs::remove(out);

    const std::string eventsOut = dir + "/EVENTS.CSV", eventsReference = dir + "/EVENTS_NAIVE.CSV";
    std::vector<Run> events, eventsNaive;
    bool eventsIdentical = true;
    for (int r = 0; r < runs; ++r) {
        fs::remove(eventsOut);
        events.push_back(measure({"events", dir, eventsOut}));
        fs::remove(eventsReference);
        eventsNaive.push_back(measure({"events-naive", dir, eventsReference}));
        if (r == 0) eventsIdentical = sameContents(eventsOut, eventsReference);
        fs::remove(eventsOut);
        fs::remove(eventsReference);
    }

    std::vector<double> infoTimes;
    if (!harvex.empty()) {
        for (int r = 0; r < runs; ++r) {
            auto t0 = Clock::now();
            spawn({harvex, "info", bench::largeFilePath(dir)}, true);
            infoTimes.push_back(secondsSince(t0));
        }
    }
    std::string infoText = harvex.empty() ? "" : spawn({harvex, "info", bench::largeFilePath(dir)}, true);

    const double tOurs = medianSeconds(ours), tNaive = medianSeconds(naive), tLimit = medianSeconds(limit);
    const Run& o = ours.front();
    const double rss = medianOf(ours, [](const Run& r) { return double(r.rssKiB); });
    const double rssNaive = medianOf(naive, [](const Run& r) { return double(r.rssKiB); });
    const double rssLimit = 2.0 * static_cast<double>(input) / 1024.0 + 32 * 1024;

    std::printf("\ndata export: %llu rows x %d values, %.1f MB of text (medians of %d runs, naive of %d)\n",
                static_cast<unsigned long long>(o.rows), bench::WorkloadFiles, mb(o.bytes), runs, naiveRuns);
    std::printf("  %-12s %8.3f s  %12.0f rows/s  %8.1f MB/s  peak RSS %7.1f MiB\n", "ours", tOurs, double(o.rows) / tOurs,
                mb(o.bytes) / tOurs, mib(rss));
    std::printf("  %-12s %8.3f s  %12.0f rows/s  %8.1f MB/s  peak RSS %7.1f MiB\n", "naive", tNaive, double(o.rows) / tNaive,
                mb(o.bytes) / tNaive, mib(rssNaive));
    std::printf("  %-12s %8.3f s  %12s         %8.1f MB/s\n", "write limit", tLimit, "", mb(o.bytes) / tLimit);
    std::printf("  ours vs naive:       %.1fx faster (goal: at least 8x)\n", tNaive / tOurs);
    std::printf("  ours vs write limit: %.2fx the limit's time (goal: within 4x)\n", tOurs / tLimit);
    std::printf("  peak RSS %.1f MiB; bound 2 x %.1f MiB input + 32 MiB = %.1f MiB\n", mib(rss), mib(double(input) / 1024.0),
                mib(rssLimit));
    std::printf("  blocks in memory after opening: %u per file at most (lazy loading)\n", o.loaded);
    std::printf("  output identical to the naive writer: %s\n", identical ? "yes" : "NO");

    const double tEvents = medianSeconds(events), tEventsNaive = medianSeconds(eventsNaive);
    const Run& e = events.front();
    std::printf("\nevent export: %llu records, %.1f MB of text (medians of %d runs, records already read)\n",
                static_cast<unsigned long long>(e.rows), mb(e.bytes), runs);
    std::printf("  %-12s %8.3f s  %12.0f rows/s  %8.1f MB/s\n", "ours", tEvents, double(e.rows) / tEvents, mb(e.bytes) / tEvents);
    std::printf("  %-12s %8.3f s  %12.0f rows/s  %8.1f MB/s\n", "naive", tEventsNaive, double(e.rows) / tEventsNaive,
                mb(e.bytes) / tEventsNaive);
    std::printf("  ours vs naive:       %.1fx faster (goal: at least 5x)\n", tEventsNaive / tEvents);
    std::printf("  output identical to the naive writer: %s\n", eventsIdentical ? "yes" : "NO");

    if (!infoTimes.empty()) {
        std::printf("\nharvex info on a %.1f MB data file: %.3f s (median of %d runs)\n", mb(fileSize(bench::largeFilePath(dir))),
                    median(infoTimes), runs);
        std::istringstream lines(infoText);
        for (std::string line; std::getline(lines, line);)
            if (line.find("blocks:") != std::string::npos || line.find("samples:") != std::string::npos)
                std::printf("  %s\n", line.c_str() + line.find_first_not_of(' '));
    }

    if (!keep) fs::remove_all(dir);
    return identical && eventsIdentical ? 0 : 1;
}

int usage() {
    std::fprintf(stderr,
                 "usage: harvex_bench [--dir DIR] [--runs N] [--naive-runs N] [--harvex PATH] [--keep]\n"
                 "       harvex_bench generate|export|naive|events|events-naive|write ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    self = fs::canonical("/proc/self/exe").string();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0].rfind("--", 0) != 0) {
        const std::string& mode = args[0];
        if (mode == "generate" && args.size() == 2) return runGenerate(args[1]);
        if (mode == "export" && args.size() == 3) return runExport(args[1], args[2]);
        if (mode == "naive" && args.size() == 3) return runNaive(args[1], args[2]);
        if (mode == "events" && args.size() == 3) return runEvents(args[1], args[2], false);
        if (mode == "events-naive" && args.size() == 3) return runEvents(args[1], args[2], true);
        if (mode == "load" && args.size() == 2) return runLoad(args[1]);
        if (mode == "write" && args.size() == 3) return runWrite(args[1], std::stoull(args[2]));
        return usage();
    }
    std::string dir = "/dev/shm/harvex-bench-" + std::to_string(getpid());
    std::string harvex;
    int runs = 5, naiveRuns = 3;
    bool keep = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) std::exit(usage());
            return args[++i];
        };
        if (args[i] == "--dir") dir = value();
        else if (args[i] == "--runs") runs = std::max(1, std::stoi(value()));
        else if (args[i] == "--naive-runs") naiveRuns = std::max(1, std::stoi(value()));
        else if (args[i] == "--harvex") harvex = fs::absolute(value()).string();
        else if (args[i] == "--keep") keep = true;
        else return usage();
    }
    return drive(dir, runs, naiveRuns, harvex, keep);
}
