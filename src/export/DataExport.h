#pragma once
// Writes the samples of one or more data files, between a start and an end
// time, as comma-separated text: one row per distinct sample time, one value
// column per file, each file repeating its latest sample until its next one;
// optionally one output file per minute, hour, day, week or month.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/dFileIt.h"
#include "export/ChunkWriter.h"
#include "export/CsvDialect.h"
#include "export/ReplacingFile.h"
#include "export/ValueColumn.h"
#include "time/CTime.h"
#include "time/TimeText.h"

struct ExportOptions {
    std::uint8_t timeFormat = 1;  // 0 sample number, 1 elapsed, 2 12-hour, 3 24-hour
    std::uint8_t dateFormat = 0;  // 0 none, 1 month first, 2 day first
    std::uint8_t interval = 0;    // 0 none .. 5 month
    // A new file after this many rows as well (0: no limit); with it every
    // file gets the header line, not only the first.
    std::uint64_t rowsPerFile = 0;
    // Writes the lines in another dialect; null keeps the exact export.
    CsvRewriter* dialect = nullptr;
    // An existing output file is replaced (the save form has asked); when
    // false it is refused with a message naming it.
    bool overwrite = true;
    // Write everything to this stream instead of creating files (no split).
    std::FILE* stream = nullptr;
    // Called now and then with the share of the span done, 0 to 1.
    std::function<void(double)> progress;

    // The export settings, with values a hand-edited file may hold out of
    // range taken as their defaults.
    static ExportOptions fromSettings();
};

// Stopped: StopRequested was set; what was being written is gone.
enum class ExportResult { Written, NoData, Failed, Stopped };

class DataExporter {
public:
    DataExporter(dFileIt* items, int count, ExportOptions options);
    ExportResult run(CTime start, CTime end, std::string name);
    // The names run() would write, in order, worked out from the sample
    // times without writing anything (its questions come before any
    // file is touched). A block whose samples turn out cut short by the
    // end of its file ends the rows a little earlier than planned.
    std::vector<std::string> plan(CTime start, CTime end, std::string name);
    // The files written whole, in order.
    const std::vector<std::string>& written() const { return written_; }
    std::uint64_t rows() const { return totalRows_; }

private:
    bool openOutput();
    // Ends the file: renamed over its name when whole, else discarded.
    bool closeOutput();
    // Ends the file being written without keeping any of it.
    void abandon();
    ExportResult finishRun(ExportResult result);
    bool writeHeader();
    // Notes where each file stands for the row at the cursor; the rows
    // are made a batch at a time.
    void addRow(CTime cursor);
    // Makes the rows noted and writes them out (in large chunks); false
    // when writing failed.
    bool putRows(CTime reference);
    bool writeBuffered();
    void releasePassed();
    bool put(const char* text, std::size_t size);
    bool startFile();
    // Moves every iterator to the next row's time; false when no file has
    // a further sample.
    bool step(CTime& cursor, CTime end);
    bool isInput(const std::string& path) const;
    bool fail(const std::string& text);
    // Stands every file at the span's start; the first row's time goes to
    // cursor. False when there is no sample to show.
    bool seekStart(CTime start, CTime end, CTime& cursor);

    dFileIt* items_;
    int count_;
    ExportOptions options_;
    unsigned timeFlags_ = 0;
    std::string name_;
    std::FILE* out_ = nullptr;
    ReplacingFile file_;
    bool ownFile_ = false;
    std::uint32_t rowNumber_ = 0;
    std::uint64_t totalRows_ = 0;
    // Rows are collected in the writer's buffer and written in large chunks.
    std::unique_ptr<ChunkWriter> writer_;
    std::size_t used_ = 0;
    std::size_t rowMax_ = 0;
    std::vector<ValueColumn> columns_;
    // The rows noted: their times and numbers, and the positions, file by
    // file (BatchRows for each).
    std::vector<CTime> rowTimes_;
    std::vector<std::uint32_t> rowNumbers_;
    std::vector<SamplePosition> positions_;
    std::size_t batched_ = 0;
    // For step(): where each iterator stands.
    struct Lane {
        enum State : std::uint8_t { Unknown, Within, Ended, Other };
        DataBlock* block = nullptr;
        std::uint64_t next = 0;  // ticks of the next sample, when Within
        State state = Unknown;    // Within: the next sample is in this block; Ended: on the file's last
        bool settled = false;     // left by a step as a further step that keeps it would leave it
        // The iterator's block as rows show it, its samples loaded; known
        // until the iterator is moved by advance or retreat, which may
        // change blocks (a step within a block does not).
        DataBlock* shown = nullptr;
        bool shownKnown = false;
    };
    void classify(Lane& lane, const DataFileIter& it);
    std::vector<Lane> lanes_;
    // Blocks a file's rows have moved on from, by column.
    std::vector<std::pair<std::size_t, DataBlock*>> passed_;
    TimeTextCache timeText_{0};
    std::vector<std::string> written_;
    std::string rewritten_;
};

// Exports with the settings in AppSettings; reports its own failures.
ExportResult exportData(dFileIt* items, int count, CTime start, CTime end, const std::string& name);
