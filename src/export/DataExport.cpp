#include "export/DataExport.h"

#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/AppSettings.h"
#include "export/ExportFileNames.h"
#include "notice/UserNotice.h"
#include "time/NumberText.h"
#include "time/TimeText.h"

namespace {

const char* const TimeColumnTitle[4] = {"Sample Number", "Elapsed time", "12 hour time", "24 hour time"};
// Rows are written in chunks of about this size.
constexpr std::size_t OutputChunk = 1 << 20;
constexpr std::uint64_t ProgressEvery = 4096;

}  // namespace

ExportOptions ExportOptions::fromSettings() {
    ExportOptions o;
    o.timeFormat = AppSettings.exportTimeFormat <= 3 ? AppSettings.exportTimeFormat : 1;
    o.dateFormat = AppSettings.exportDateFormat <= 2 ? AppSettings.exportDateFormat : 0;
    o.interval = AppSettings.exportInterval <= 5 ? AppSettings.exportInterval : 0;
    return o;
}

DataExporter::DataExporter(dFileIt* items, int count, ExportOptions options)
    : items_(items), count_(count < 0 ? 0 : count), options_(std::move(options)) {
    if (options_.timeFormat > 3) options_.timeFormat = 1;
    if (options_.dateFormat > 2) options_.dateFormat = 0;
    if (options_.interval > 5) options_.interval = 0;
    if (options_.stream) options_.interval = 0;
    if (options_.stream) options_.rowsPerFile = 0;
    timeFlags_ = ShowFraction | ShowTime;
    if (options_.timeFormat == 1) timeFlags_ |= Elapsed;
    if (options_.timeFormat == 3) timeFlags_ |= Time24;
    if (options_.dateFormat != 0) timeFlags_ |= ShowDate;
    if (options_.dateFormat == 2) timeFlags_ |= DayFirst;
    timeText_ = TimeTextCache(timeFlags_);
    // Room for the widest row behind a full chunk: every value at its
    // longest, so no row can overflow whatever the files hold.
    rowMax_ = 32 + TimeTextMax + static_cast<std::size_t>(count_) * (2 + NumberTextMax);
}

bool DataExporter::fail(const std::string& text) {
    reportError(text);
    abandon();
    return false;
}

void DataExporter::abandon() {
    // The writer's thread lets go of the file before it goes.
    writer_.reset();
    if (ownFile_) file_.discard();
    out_ = nullptr;
}

ExportResult DataExporter::finishRun(ExportResult result) {
    if (result != ExportResult::Written) abandon();
    endBusy();
    return result;
}

bool DataExporter::isInput(const std::string& path) const {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return false;
    for (int i = 0; i < count_; ++i) {
        const IO* io = items_[i].file->stream();
        const char* input = io ? io->name() : nullptr;
        if (input && std::filesystem::equivalent(path, input, ec)) return true;
    }
    return false;
}

bool DataExporter::openOutput() {
    rowNumber_ = 0;
    used_ = 0;
    if (options_.stream) {
        out_ = options_.stream;
        ownFile_ = false;
        return startFile();
    }
    if (isInput(name_))
        return fail("Export not written.\n" + name_ + "\nis one of the recorder files being exported.");
    std::error_code ec;
    if (!options_.overwrite && std::filesystem::exists(name_, ec))
        return fail("Export not written.\n" + name_ + "\nexists already.");
    // A dialect writes its own line ends.
    out_ = file_.open(name_, options_.dialect ? "wb" : "wt");
    ownFile_ = true;
    if (!out_) return fail("Can't Open file.\n" + name_);
    return startFile();
}

bool DataExporter::startFile() {
    if (writer_) writer_->retarget(out_);
    else writer_ = std::make_unique<ChunkWriter>(out_, OutputChunk + rowMax_);
    if (!options_.dialect) return true;
    rewritten_.clear();
    options_.dialect->startFile(rewritten_);
    return put(rewritten_.data(), rewritten_.size()) || fail("Error writing file.\n" + name_);
}

bool DataExporter::writeBuffered() {
    const std::size_t n = used_;
    used_ = 0;
    // A dialect's text is rewritten from the rows and written at once;
    // only the exact export's chunks go to the writer's thread.
    if (options_.dialect) {
        if (n == 0) return true;
        rewritten_.clear();
        options_.dialect->rows(writer_->buffer(), n, rewritten_);
        return put(rewritten_.data(), rewritten_.size());
    }
    return writer_->submit(n);
}

bool DataExporter::put(const char* text, std::size_t size) { return size == 0 || std::fwrite(text, 1, size, out_) == size; }

bool DataExporter::closeOutput() {
    if (!out_) return true;
    bool ok = options_.dialect ? writeBuffered() : writer_->finish(used_);
    used_ = 0;
    ok = std::fflush(out_) == 0 && !std::ferror(out_) && ok;
    if (ownFile_) ok = ok ? file_.commit() : (file_.discard(), false);
    out_ = nullptr;
    if (!ok) {
        std::string text = "Error writing file.\n" + name_;
        // A split keeps the files it finished: say which they are.
        if (written_.size() == 1) text += "\nThe file finished before it is kept: " + written_.front() + ".";
        if (written_.size() > 1)
            text += "\nThe " + std::to_string(written_.size()) + " files finished before it are kept: " + written_.front() + " to " +
                    written_.back() + ".";
        reportError(text);
        return false;
    }
    if (ownFile_) written_.push_back(name_);
    return true;
}

bool DataExporter::writeHeader() {
    std::vector<std::string> titles{TimeColumnTitle[options_.timeFormat]};
    for (int i = 0; i < count_; ++i) {
        const DataFile& f = *items_[i].file;
        const DataBlock* b = items_[i].iter.block();
        const ScalesHeader* scale = b && b->scale ? b->scale : &f.blocks.fileScale;
        titles.push_back(std::string(f.header().text) + " (" + scale->label + ")");
    }
    std::string line;
    if (options_.dialect) {
        options_.dialect->header(titles, line);
        // Written as the dialect made it, after the rows before it.
        return writeBuffered() && put(line.data(), line.size());
    }
    for (const std::string& title : titles) line += (line.empty() ? "\"" : ",\"") + title + '"';
    line += '\n';
    if (line.size() > writer_->capacity() - used_) {
        if (!writeBuffered()) return false;
        // Longer than a chunk: written alone, after what came before.
        if (line.size() > writer_->capacity()) return writer_->finish(0) && std::fwrite(line.data(), 1, line.size(), out_) == line.size();
    }
    std::memcpy(writer_->buffer() + used_, line.data(), line.size());
    used_ += line.size();
    return true;
}

void DataExporter::addRow(CTime cursor) {
    rowTimes_[batched_] = cursor;
    rowNumbers_[batched_] = rowNumber_;
    for (int i = 0; i < count_; ++i) {
        DataFileIter& it = items_[i].iter;
        Lane& lane = lanes_[static_cast<std::size_t>(i)];
        if (!lane.shownKnown) {
            DataBlock* b = it.block();
            // Samples not loaded are loaded now, as value() would for this
            // row: a count cut by the end of the file shows in the next step.
            if (b) items_[i].file->loadSamples(*b);
            // The rows have passed the block shown before: the iterator
            // only ever steps back to where it stood.
            if (lane.shown && lane.shown != b) passed_.push_back({static_cast<std::size_t>(i), lane.shown});
            lane.shown = b;
            lane.shownKnown = true;
        }
        positions_[static_cast<std::size_t>(i) * ValueColumn::BatchRows + batched_] = {lane.shown, it.sampleInBlock};
    }
    ++batched_;
}

bool DataExporter::putRows(CTime reference) {
    const std::size_t n = batched_;
    batched_ = 0;
    for (int i = 0; i < count_; ++i)
        columns_[static_cast<std::size_t>(i)].makeTexts(&positions_[static_cast<std::size_t>(i) * ValueColumn::BatchRows], n);
    releasePassed();
    for (std::size_t r = 0; r < n; ++r) {
        char* const base = writer_->buffer();
        char* p = base + used_;
        if (options_.timeFormat == 0) {
            p = std::to_chars(p, p + 24, rowNumbers_[r]).ptr;
        } else {
            *p++ = '"';
            p = timeText_.format(options_.timeFormat == 1 ? CTime(rowTimes_[r] - reference) : rowTimes_[r], p);
            *p++ = '"';
        }
        for (int i = 0; i < count_; ++i) {
            *p++ = ',';
            *p++ = ' ';
            p = columns_[static_cast<std::size_t>(i)].put(r, p);
        }
        *p++ = '\n';
        used_ = static_cast<std::size_t>(p - base);
        if (used_ >= OutputChunk && !writeBuffered()) return false;
    }
    return true;
}

// Samples of blocks every row has passed are given back once their texts
// are made: a long export then holds a block or two per file, and the
// memory freed takes the next blocks' samples without the cost of fresh
// pages. A block is read again should it be needed after all.
void DataExporter::releasePassed() {
    for (const auto& [column, block] : passed_) {
        bool shown = false;
        for (const Lane& lane : lanes_) shown = shown || lane.shown == block;
        if (shown) continue;
        columns_[column].forget(block);
        block->samples.reset();
    }
    passed_.clear();
}

namespace {

// On the last sample of the last block, with no chain to load more from: a
// file that has ended, advanced on every row of the files that go on.
bool onLastSample(const DataFileIter& it, const DataBlock* b) {
    const auto& c = it.cursor;
    return b && b->next == 0 && b->count > 0 && it.sampleInBlock + 1u == b->count && c.node == c.array->tail &&
           c.index + 1 == c.node->first + c.node->count;
}

}  // namespace

// Where an iterator stands, for step().
void DataExporter::classify(Lane& lane, const DataFileIter& it) {
    DataBlock* b = it.block();
    lane.block = b;
    if (b && it.sampleInBlock + 1u < b->count) {
        lane.state = Lane::Within;
        // offsetBy(start, sample + 1, interval), as advance(1) sets it.
        lane.next = b->startTime.ticks() + std::uint64_t(it.sampleInBlock + 1u) * b->interval;
    } else {
        lane.state = onLastSample(it, b) ? Lane::Ended : Lane::Other;
        // The state a step leaves there differs from the one left within a block.
        lane.settled = false;
    }
}

// Every file's iterator advances by one sample; the cursor moves to the
// earliest new time (never past end), and each file whose new sample lies
// beyond it steps back, so that it shows its latest sample at or before
// the cursor. advance and retreat do that only where a block or the file
// ends; elsewhere the next time is worked out as advance would, the
// iterator moves only when it keeps the new sample, and one that stays
// and was left so before is not touched: its state would be the same.
bool DataExporter::step(CTime& cursor, CTime end) {
    bool more = false;
    std::uint64_t earliest = end.ticks();
    for (int i = 0; i < count_; ++i) {
        Lane& lane = lanes_[static_cast<std::size_t>(i)];
        DataFileIter& it = items_[i].iter;
        if (lane.state == Lane::Unknown) classify(lane, it);
        switch (lane.state) {
        case Lane::Within:
            more = true;
            if (lane.next < earliest) earliest = lane.next;
            break;
        case Lane::Ended:
            // What advance(1) does there: stand on the last sample again.
            if (!lane.settled) {
                it.time = lane.block->endTime;
                it.status = SeekStatus::AfterEnd;
            }
            break;
        default:
            lane.shownKnown = false;
            if (it.advance(1) != 0) {
                more = true;
                if (it.time.ticks() < earliest) earliest = it.time.ticks();
            }
            break;
        }
    }
    cursor = CTime::fromTicks(earliest);
    if (!more) return false;
    for (int i = 0; i < count_; ++i) {
        Lane& lane = lanes_[static_cast<std::size_t>(i)];
        DataFileIter& it = items_[i].iter;
        switch (lane.state) {
        case Lane::Within:
            if (lane.next > earliest) {
                // advance(1) and retreat(1): the same sample, at its own time.
                if (!lane.settled) {
                    it.status = SeekStatus::SameBlock;
                    it.time = CTime::fromTicks(lane.block->startTime.ticks() + std::uint64_t(it.sampleInBlock) * lane.block->interval);
                }
            } else {
                ++it.sampleInBlock;
                ++it.sampleNumber;
                it.time = CTime::fromTicks(lane.next);
                it.status = SeekStatus::SameBlock;
                lane.state = Lane::Unknown;
            }
            lane.settled = true;
            break;
        case Lane::Ended:
            if (it.time > cursor) {
                it.retreat(1);
                lane.shownKnown = false;
                lane.state = Lane::Unknown;
                lane.settled = false;
            } else {
                lane.settled = true;
            }
            break;
        default:
            if (it.time > cursor) it.retreat(1);
            lane.state = Lane::Unknown;
            lane.settled = false;
            break;
        }
    }
    return true;
}

bool DataExporter::seekStart(CTime start, CTime end, CTime& cursor) {
    cursor = end;
    for (int i = 0; i < count_; ++i) {
        DataFileIter& it = items_[i].iter;
        it.seekTime(start);
        if (it.time < cursor) cursor = it.time;
    }
    bool hasData = false;
    for (int i = 0; i < count_; ++i)
        if (items_[i].iter.seekTime(cursor) != 0) hasData = true;
    return hasData;
}

// The loop of run() without its rows: a new name where run() starts a file.
std::vector<std::string> DataExporter::plan(CTime start, CTime end, std::string name) {
    std::vector<std::string> names;
    CTime cursor;
    if (count_ == 0 || end < start || !seekStart(start, end, cursor)) return names;
    if (options_.interval || options_.rowsPerFile) makeNameTemplate(name);
    lanes_.assign(static_cast<std::size_t>(count_), Lane());
    for (;;) {
        names.push_back(name);
        CTime boundary;
        if (options_.interval) {
            boundary = cursor;
            nextBoundary(boundary, options_.interval);
        }
        bool more = true;
        for (std::uint64_t rows = 1;; ++rows) {
            more = cursor < end && step(cursor, end);
            if (!more || (options_.interval && cursor >= boundary) || (options_.rowsPerFile && rows >= options_.rowsPerFile))
                break;
        }
        if (!more || !nextFileName(name)) return names;
    }
}

ExportResult DataExporter::run(CTime start, CTime end, std::string name) {
    name_ = std::move(name);
    written_.clear();
    totalRows_ = 0;
    // A reversed span holds no samples; taken as it stands it would write
    // a row at its end, before its start.
    if (count_ == 0 || end < start) return ExportResult::NoData;

    CTime cursor;
    const bool hasData = seekStart(start, end, cursor);
    if (options_.interval || options_.rowsPerFile) makeNameTemplate(name_);

    beginBusy();
    CTime reference = cursor;
    if (!hasData) {
        endBusy();
        return ExportResult::NoData;
    }
    const CTime first = cursor;
    const double span = end > first ? static_cast<double>((end - first).u64()) : 1.0;
    // Made for each run: blocks loaded for an earlier one may be gone.
    columns_.clear();
    for (int i = 0; i < count_; ++i) columns_.emplace_back(*items_[i].file);
    rowTimes_.assign(ValueColumn::BatchRows, CTime());
    rowNumbers_.assign(ValueColumn::BatchRows, 0);
    positions_.assign(static_cast<std::size_t>(count_) * ValueColumn::BatchRows, SamplePosition());
    batched_ = 0;
    lanes_.assign(static_cast<std::size_t>(count_), Lane());
    passed_.clear();
    used_ = 0;

    bool headerPending = true;
    for (;;) {
        if (!out_ && !openOutput()) return finishRun(ExportResult::Failed);
        if (headerPending) {
            if (!writeHeader()) {
                closeOutput();
                return finishRun(ExportResult::Failed);
            }
            headerPending = false;
        }
        CTime boundary;
        if (options_.interval) {
            boundary = cursor;
            nextBoundary(boundary, options_.interval);
        }
        bool more = true;
        bool complete = false;
        while (!complete) {
            addRow(cursor);
            if (batched_ == ValueColumn::BatchRows) {
                if (!putRows(reference)) {
                    closeOutput();
                    return finishRun(ExportResult::Failed);
                }
                if (StopRequested) return finishRun(ExportResult::Stopped);
            }
            ++rowNumber_;
            if (++totalRows_ % ProgressEvery == 0 && options_.progress)
                options_.progress(static_cast<double>((cursor - first).u64()) / span);

            more = cursor < end && step(cursor, end);
            if (!more) break;
            complete = (options_.interval && cursor >= boundary) || (options_.rowsPerFile && rowNumber_ >= options_.rowsPerFile);
        }
        if (!putRows(reference)) {
            closeOutput();
            return finishRun(ExportResult::Failed);
        }
        if (StopRequested) return finishRun(ExportResult::Stopped);
        if (!closeOutput()) return finishRun(ExportResult::Failed);
        if (!more) {
            if (options_.progress) options_.progress(1.0);
            return finishRun(ExportResult::Written);
        }
        const std::string previous = name_;
        if (!nextFileName(name_)) {
            showError("Export ended early.\nNo further file name can be counted up from\n" + previous);
            return finishRun(ExportResult::Failed);
        }
        // Elapsed time starts again with a new interval, not with a new file of rows.
        if (options_.interval && cursor >= boundary) reference = boundary;
        if (options_.rowsPerFile) headerPending = true;
    }
}

ExportResult exportData(dFileIt* items, int count, CTime start, CTime end, const std::string& name) {
    DataExporter exporter(items, count, ExportOptions::fromSettings());
    return exporter.run(start, end, name);
}
