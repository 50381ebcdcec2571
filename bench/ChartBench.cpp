// `make chart-bench`: what a chart window costs to draw, without the drawing
// itself: building a channel's summaries and its first envelope, redraws at
// 1920 columns from the whole span down to a few samples a column, and the
// summaries' memory, for one 100 MB channel and for fifteen of them.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Workload.h"
#include "plot/ChannelSummary.h"
#include "storage/DISK.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t Width = 1920;
constexpr int Channels = 15, Pans = 25;
constexpr double SampleTicks = 1000;  // the large channel's interval, 0.1 s

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// This process's processor time: on a shared machine the wall clock also
// counts the time other work held the processor.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Channel {
    std::unique_ptr<DataFile> file;
    std::unique_ptr<ChannelSummary> summary;
};

Channel open(const std::string& path) {
    Channel c{std::make_unique<DataFile>(std::make_unique<File>(std::make_unique<DISK>(path))), nullptr};
    c.file->open();
    c.summary = std::make_unique<ChannelSummary>(*c.file);
    return c;
}

// Draws every channel over [start, end]; the sum of the columns filled keeps the work from being optimised away.
std::size_t draw(std::vector<Channel>& channels, std::uint64_t start, std::uint64_t end) {
    std::size_t filled = 0;
    for (Channel& c : channels) {
        const ColumnEnvelope env = c.summary->envelope(start, end, Width);
        for (const EnvelopeColumn& col : env.columns()) filled += col.filled;
    }
    return filled;
}

// Building and the first draw of the whole span, then pans and zooms.
void run(const std::string& path, int count) {
    const auto bytes = std::filesystem::file_size(path);
    std::vector<Channel> channels;
    const auto t0 = Clock::now();
    const double c0 = cpuMs();
    for (int i = 0; i < count; ++i) channels.push_back(open(path));
    // As a window would: a slice of every channel in turn, so all fill in together.
    for (bool done = false; !done;) {
        done = true;
        for (Channel& c : channels) done &= c.summary->build(4u << 20);
    }
    std::uint64_t first = 0, last = 0;
    channels.front().summary->span(first, last);
    const double built = msSince(t0), builtCpu = cpuMs() - c0;
    std::size_t filled = draw(channels, first, last);
    const double firstDraw = msSince(t0), firstDrawCpu = cpuMs() - c0;
    std::printf("\n%d channel%s of %.1f MB: opened and built in %.0f ms (%.0f ms processor), first draw done at %.0f ms (%.0f ms); "
                "summaries %.0f KiB a channel (%.2f %% of the input)\n",
                count, count > 1 ? "s" : "", double(bytes) / 1e6, built, builtCpu, firstDraw, firstDrawCpu,
                double(channels.front().summary->memoryBytes()) / 1024,
                100.0 * double(channels.front().summary->memoryBytes()) / double(bytes));
    std::printf("  %-18s %12s %12s %12s %14s\n", "samples a column", "span", "median ms", "slowest ms", "processor ms");
    std::mt19937 random(1);
    // The whole span, then each summary level and the samples themselves near their limits.
    for (double perColumn : {27300.0, 4096.0, 1000.0, 255.0, 100.0, 10.0, 1.0, 0.1}) {
        const auto span = std::min<std::uint64_t>(last - first, static_cast<std::uint64_t>(perColumn * Width * SampleTicks));
        std::vector<double> times, cpu;
        // A drag: each redraw a tenth of the span on from the last, from a random place.
        std::uint64_t start = first + random() % (last - first - span + 1);
        for (int p = 0; p < Pans; ++p) {
            const auto t = Clock::now();
            const double c = cpuMs();
            filled += draw(channels, start, start + span);
            times.push_back(msSince(t));
            cpu.push_back(cpuMs() - c);
            start = start + span + span / 10 <= last ? start + span / 10 : first;
        }
        std::sort(times.begin(), times.end());
        std::sort(cpu.begin(), cpu.end());
        std::printf("  %-18g %10.2f h %12.2f %12.2f %14.2f\n", perColumn, double(span) / 36e6, times[times.size() / 2], times.back(),
                    cpu[cpu.size() / 2]);
    }
    if (filled == 0) std::printf("nothing drawn\n");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/dev/shm/harvex-chart-bench";
    const std::string path = bench::makeLargeFile(dir);
    run(path, 1);
    run(path, Channels);
    std::filesystem::remove_all(dir);
    return 0;
}
