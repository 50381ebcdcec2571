// A data file from arbitrary bytes: open it, walk every sample forwards and
// back, seek to a few times, and export it (alone or merged with a second
// copy) into memory. Options come from the input's size, so the bytes stay
// a plain recorder file that the seeds and reproducers can be.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "data/DataFile.h"
#include "data/DataFileIter.h"
#include "data/dFileIt.h"
#include "export/DataExport.h"
#include "storage/MemoryIO.h"
#include "support/RecordingNotice.h"

namespace {

using testsupport::RecordingNotice;

// Every text a data file can make the reader or the writer show.
bool knownMessage(const std::string& t) {
    static const char* const Known[] = {
        "Can't get block.",
        "Bad Type",
        "Pointers are corrupted",
        "End of File",
        "Invalid Floating Point number.",
        "Checksum error.\n",
        "Illegal storage rate. Rate set at 4 samples / second",
        "Corrupt Pointers.\nBlock Data Ignored.",
        "Value too large to use as an exponent.",
    };
    for (const char* k : Known)
        if (t == k) return true;
    return t.rfind("Address = 0x", 0) == 0 && t.size() <= 20;
}

bool isMainErrorText(const std::string& t) {
    return t == "Can't get block." || t == "Bad Type" || t == "Pointers are corrupted" || t == "End of File";
}

int mainErrorsShown(const RecordingNotice& notice) {
    int n = 0;
    for (const auto& m : notice.messages) n += isMainErrorText(m.text) ? 1 : 0;
    return n;
}

void checkMessages(const RecordingNotice& notice) {
    for (const auto& m : notice.messages) {
        FUZZ_CHECK_MSG(knownMessage(m.text), m.text);
        FUZZ_CHECK(m.caption == ErrorCaption);
        FUZZ_CHECK(m.type == BoxType::Ok);
    }
}

// Where the iterator stands, in the file's walk order.
struct Position { const DataBlock* block; std::uint32_t sample; std::uint64_t time; };

std::shared_ptr<DataFile> openCopy(const std::uint8_t* data, std::size_t size, RecordingNotice& notice) {
    auto io = std::make_unique<MemoryIO>(std::vector<std::uint8_t>(data, data + size), "fuzz.DC1");
    auto df = std::make_shared<DataFile>(std::make_unique<File>(std::move(io)));
    notice.clear();
    df->open();
    checkMessages(notice);
    // Open reports its main error once, and a file it cannot use always says why.
    const int shown = mainErrorsShown(notice);
    FUZZ_CHECK(shown <= 1);
    if (!df->hasBlocks()) FUZZ_CHECK(shown == 1);
    FUZZ_CHECK(!df->stream()->hasMainError());
    FUZZ_CHECK(!isBusy());
    if (df->hasBlocks()) FUZZ_CHECK(df->firstTime <= df->lastTime);
    return df;
}

// The number of each loaded block's first sample, in walk order.
class Numbering {
public:
    explicit Numbering(DataFile& df) {
        std::uint64_t n = 0;
        VArrayIter<DataBlock> it(df.blocks);
        for (DataBlock* b = it.first(); b; b = it.advance(1) ? it.current() : nullptr) {
            first_[b] = static_cast<std::uint32_t>(n);
            n += b->count;
        }
    }
    // Every block is loaded first, so the iterator can only stand on one of them.
    void check(DataFileIter& it) const {
        const DataBlock* b = it.block();
        FUZZ_CHECK(b != nullptr);
        FUZZ_CHECK(b->count > 0);
        FUZZ_CHECK(it.sampleInBlock < b->count);
        const auto found = first_.find(b);
        FUZZ_CHECK(found != first_.end());
        FUZZ_CHECK(it.sampleNumber == found->second + it.sampleInBlock);
    }

private:
    std::unordered_map<const DataBlock*, std::uint32_t> first_;
};

// Walks every sample forwards, then back; returns the walk.
std::vector<Position> walk(DataFile& df, std::size_t inputSize) {
    DataFileIter counter(df);
    counter.toEnd(true);
    const Numbering numbering(df);
    numbering.check(counter);
    const std::uint64_t total = std::uint64_t(counter.sampleNumber) + 1;
    // Every block loaded came from its own address in the file.
    FUZZ_CHECK(df.blocks.loadedCount() <= inputSize);
    FUZZ_CHECK(counter.time == counter.block()->endTime);

    std::vector<Position> seen;
    DataFileIter it(df);
    numbering.check(it);
    FUZZ_CHECK(it.sampleNumber == 0);
    for (;;) {
        const DataBlock* b = it.block();
        FUZZ_CHECK(it.time == offsetBy(b->startTime, it.sampleInBlock, b->interval));
        if (!seen.empty() && seen.back().block == b) {
            // Within a block each step is one interval later.
            FUZZ_CHECK(it.time.ticks() == seen.back().time + b->interval);
        }
        seen.push_back({b, it.sampleInBlock, it.time.ticks()});
        FUZZ_CHECK(seen.size() <= total);
        it.reading();
        const int status = it.advance(1);
        FUZZ_CHECK(status >= 0 && status <= 3);
        numbering.check(it);
        if (status == SeekStatus::AfterEnd) break;
        FUZZ_CHECK(it.sampleNumber == seen.size());
    }
    FUZZ_CHECK(seen.size() == total);
    FUZZ_CHECK(it.sampleNumber == total - 1);

    // Back again, sample by sample, through the same positions.
    for (std::size_t i = seen.size() - 1; i > 0; --i) {
        FUZZ_CHECK(it.retreat(1));
        FUZZ_CHECK(it.block() == seen[i - 1].block);
        FUZZ_CHECK(it.sampleInBlock == seen[i - 1].sample);
        FUZZ_CHECK(it.time.ticks() == seen[i - 1].time);
    }
    FUZZ_CHECK(!it.retreat(1));
    FUZZ_CHECK(it.sampleNumber == 0);
    return seen;
}

void seekChecks(DataFile& df, const std::vector<Position>& seen) {
    const Numbering numbering(df);
    DataFileIter it(df);
    const std::uint64_t times[] = {
        seen.front().time,
        seen.back().time,
        seen[seen.size() / 2].time,
        seen[seen.size() / 3].time + 1,
        seen.front().time ? seen.front().time - 1 : 0,
        seen.back().time + 1,
        0,
        ~std::uint64_t(0),
    };
    for (std::uint64_t t : times) {
        const int status = it.seekTime(CTime::fromTicks(t));
        FUZZ_CHECK(status >= -1 && status <= 3);
        numbering.check(it);
        if (status == SeekStatus::BeforeStart) FUZZ_CHECK(it.sampleNumber == 0);
        if (status == SeekStatus::AfterEnd) FUZZ_CHECK(it.sampleNumber == seen.size() - 1);
        if (status == SeekStatus::SameBlock || status == SeekStatus::OtherBlock) {
            // Inside a block: the sample at or before the time asked for.
            const DataBlock* b = it.block();
            const CTime at = offsetBy(b->startTime, it.sampleInBlock, b->interval);
            FUZZ_CHECK(at.ticks() <= t);
            FUZZ_CHECK(t <= b->endTime.ticks());
        }
    }
}

// Exporters, their items and the output stream live across inputs: an
// export sets up sizeable buffers once per exporter, which would otherwise
// dominate each run.
class ExportBench {
public:
    ExportBench() : items_(2, dFileIt(std::make_shared<DataFile>())) {
        out_ = fmemopen(text_.data(), text_.size(), "w");
        FUZZ_CHECK(out_ != nullptr);
    }

    // Exports the files over [first, last] and returns the text written.
    ExportResult run(std::vector<std::shared_ptr<DataFile>>& files, int timeFormat, int dateFormat, CTime first,
                     CTime last, std::string& csv, std::uint64_t& rows) {
        const int n = static_cast<int>(files.size());
        for (int i = 0; i < n; ++i) items_[static_cast<std::size_t>(i)] = dFileIt(files[static_cast<std::size_t>(i)]);
        std::unique_ptr<DataExporter>& exporter = exporters_[n - 1][timeFormat][dateFormat];
        if (!exporter) {
            ExportOptions options;
            options.timeFormat = static_cast<std::uint8_t>(timeFormat);
            options.dateFormat = static_cast<std::uint8_t>(dateFormat);
            options.stream = out_;
            exporter = std::make_unique<DataExporter>(items_.data(), n, options);
        }
        std::rewind(out_);
        const ExportResult result = exporter->run(first, last, "memory");
        std::fflush(out_);
        const long length = std::ftell(out_);
        FUZZ_CHECK(length >= 0 && static_cast<std::size_t>(length) < text_.size());
        csv.assign(text_.data(), static_cast<std::size_t>(length));
        rows = exporter->rows();
        // The files go with this input.
        for (auto& item : items_) item = dFileIt(std::make_shared<DataFile>());
        return result;
    }

private:
    std::vector<char> text_ = std::vector<char>(std::size_t(1) << 23);
    std::FILE* out_ = nullptr;
    std::vector<dFileIt> items_;
    std::unique_ptr<DataExporter> exporters_[2][4][3];
};

void exportChecks(std::vector<std::shared_ptr<DataFile>>& files, std::uint64_t samples, std::size_t size,
                  RecordingNotice& notice) {
    static ExportBench bench;
    const int n = static_cast<int>(files.size());

    // The span the export command offers: first sample to last sample.
    CTime first, last;
    for (int i = 0; i < n; ++i) {
        DataFileIter probe(*files[static_cast<std::size_t>(i)]);
        CTime f = probe.time;
        probe.toEnd(true);
        if (i == 0 || f < first) first = f;
        if (i == 0 || probe.time > last) last = probe.time;
    }
    if ((size / 24) % 3 == 1 && last > first) first = first + CTime::fromTicks((last - first).u64() / 3);

    const int timeFormat = static_cast<int>(size % 4);
    notice.clear();
    std::string csv;
    std::uint64_t rows = 0;
    const ExportResult result = bench.run(files, timeFormat, static_cast<int>((size / 4) % 3), first, last, csv, rows);
    checkMessages(notice);
    FUZZ_CHECK(!isBusy());

    FUZZ_CHECK(result != ExportResult::Failed);
    if (result == ExportResult::NoData) {
        FUZZ_CHECK(csv.empty());
        return;
    }
    // A header line, then one row per distinct sample time, with one value
    // per file. The header's titles are the files' own bytes and may hold
    // anything, so the rows are found from the end.
    FUZZ_CHECK(rows > 0);
    FUZZ_CHECK(!csv.empty() && csv.back() == '\n');
    std::size_t rowsBegin = csv.size() - 1;
    for (std::uint64_t i = 0; i < rows; ++i) {
        rowsBegin = csv.rfind('\n', rowsBegin - 1);
        FUZZ_CHECK(rowsBegin != std::string::npos && rowsBegin > 0);
    }
    ++rowsBegin;
    FUZZ_CHECK(csv.rfind('"', 0) == 0);
    FUZZ_CHECK(rows <= samples + 1);
    // One pass over the rows: n commas each, and with sample numbers the
    // rows count up from 0.
    std::size_t commas = 0;
    std::uint64_t row = 0;
    std::size_t lineStart = rowsBegin;
    for (std::size_t i = rowsBegin; i < csv.size(); ++i) {
        if (csv[i] == ',') ++commas;
        if (csv[i] != '\n') continue;
        const std::string_view line(csv.data() + lineStart, i - lineStart);
        FUZZ_CHECK_MSG(commas == static_cast<std::size_t>(n), std::string(line));
        if (timeFormat == 0) {
            const std::string number = std::to_string(row);
            FUZZ_CHECK_MSG(line.substr(0, number.size() + 1) == number + ",", std::string(line));
        } else {
            FUZZ_CHECK_MSG(line.front() == '"' && line.find('"', 1) != std::string_view::npos, std::string(line));
        }
        commas = 0;
        lineStart = i + 1;
        ++row;
    }
    FUZZ_CHECK(row == rows);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static RecordingNotice notice;
    AppSettings.displayFlags = static_cast<std::uint8_t>((size & 1 ? DisplayTime24 : 0) | (size & 2 ? DisplayDayFirst : 0));

    std::shared_ptr<DataFile> df = openCopy(data, size, notice);
    if (!df->hasBlocks()) return 0;
    notice.clear();
    const std::vector<Position> seen = walk(*df, size);
    seekChecks(*df, seen);
    checkMessages(notice);

    // Every block is loaded now; closing reports an error met while loading once.
    notice.clear();
    std::vector<std::shared_ptr<DataFile>> files{df};
    std::uint64_t samples = seen.size();
    if ((size / 12) % 2) {
        files.push_back(openCopy(data, size, notice));
        samples += seen.size();
    }
    exportChecks(files, samples, size, notice);

    notice.clear();
    df->close();
    FUZZ_CHECK(notice.messages.size() <= 1);
    checkMessages(notice);
    return 0;
}
