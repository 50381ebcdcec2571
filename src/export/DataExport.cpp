#include "export/DataExport.h"

#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/AppSettings.h"
#include "export/ExportFileNames.h"
#include "time/NumberText.h"
#include "time/TimeText.h"
#include "ui/UserNotice.h"

namespace {

const char* const TimeColumnTitle[4] = {"Sample Number", "Elapsed time", "12 hour time", "24 hour time"};
constexpr std::size_t OutputBuffer = 1 << 20;
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
    timeFlags_ = ShowFraction | ShowTime;
    if (options_.timeFormat == 1) timeFlags_ |= Elapsed;
    if (options_.timeFormat == 3) timeFlags_ |= Time24;
    if (options_.dateFormat != 0) timeFlags_ |= ShowDate;
    if (options_.dateFormat == 2) timeFlags_ |= DayFirst;
    // Room for the widest row: every value at its longest, so no row can
    // overflow whatever the files hold.
    row_.resize(32 + TimeTextMax + static_cast<std::size_t>(count_) * (2 + NumberTextMax));
}

bool DataExporter::fail(const std::string& text) {
    reportError(text);
    if (out_ && ownFile_) std::fclose(out_);
    out_ = nullptr;
    return false;
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
    if (options_.stream) {
        out_ = options_.stream;
        ownFile_ = false;
        return true;
    }
    if (isInput(name_))
        return fail("Export not written.\n" + name_ + "\nis one of the recorder files being exported.");
    std::error_code ec;
    if (!options_.overwrite && std::filesystem::exists(name_, ec))
        return fail("Export not written.\n" + name_ + "\nexists already.");
    out_ = std::fopen(name_.c_str(), "wt");
    if (!out_) return fail("Can't Open file.\n" + name_);
    ownFile_ = true;
    std::setvbuf(out_, nullptr, _IOFBF, OutputBuffer);
    written_.push_back(name_);
    return true;
}

bool DataExporter::closeOutput() {
    if (!out_) return true;
    bool ok = std::fflush(out_) == 0 && !std::ferror(out_);
    if (ownFile_) ok = std::fclose(out_) == 0 && ok;
    out_ = nullptr;
    if (!ok) {
        reportError("Error writing file.\n" + name_);
        return false;
    }
    return true;
}

bool DataExporter::writeHeader() {
    std::string line = "\"";
    line += TimeColumnTitle[options_.timeFormat];
    line += '"';
    for (int i = 0; i < count_; ++i) {
        const DataFile& f = *items_[i].file;
        const DataBlock* b = items_[i].iter.block();
        const ScalesHeader* scale = b && b->scale ? b->scale : &f.blocks.fileScale;
        line += ",\"";
        line += f.header().text;
        line += " (";
        line += scale->label;
        line += ")\"";
    }
    line += '\n';
    return std::fwrite(line.data(), 1, line.size(), out_) == line.size();
}

void DataExporter::buildRow(CTime cursor, CTime reference) {
    char* p = row_.data();
    if (options_.timeFormat == 0) {
        p = std::to_chars(p, p + 24, rowNumber_).ptr;
    } else {
        *p++ = '"';
        p = formatTime(options_.timeFormat == 1 ? CTime(cursor - reference) : cursor, p, timeFlags_);
        *p++ = '"';
    }
    for (int i = 0; i < count_; ++i) {
        DataFileIter& it = items_[i].iter;
        *p++ = ',';
        *p++ = ' ';
        float reading = it.reading();
        const DataBlock* b = it.block();
        if (b && b->scale) p = b->scale->units.format(p, reading, 8, false);
        else p = formatFixed(p, reading, 8, 2);
    }
    *p++ = '\n';
    rowLength_ = static_cast<std::size_t>(p - row_.data());
}

ExportResult DataExporter::run(CTime start, CTime end, std::string name) {
    name_ = std::move(name);
    written_.clear();
    totalRows_ = 0;
    // A reversed span holds no samples; taken as it stands it would write
    // a row at its end, before its start.
    if (count_ == 0 || end < start) return ExportResult::NoData;

    CTime cursor = end;
    for (int i = 0; i < count_; ++i) {
        DataFileIter& it = items_[i].iter;
        it.seekTime(start);
        if (it.time < cursor) cursor = it.time;
    }
    bool hasData = false;
    for (int i = 0; i < count_; ++i)
        if (items_[i].iter.seekTime(cursor) != 0) hasData = true;
    if (options_.interval) makeNameTemplate(name_);

    beginBusy();
    CTime reference = cursor;
    if (!hasData) {
        endBusy();
        return ExportResult::NoData;
    }
    const CTime first = cursor;
    const double span = end > first ? static_cast<double>((end - first).u64()) : 1.0;

    bool headerPending = true;
    for (;;) {
        if (!out_ && !openOutput()) {
            endBusy();
            return ExportResult::Failed;
        }
        if (headerPending) {
            if (!writeHeader()) {
                closeOutput();
                endBusy();
                return ExportResult::Failed;
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
            buildRow(cursor, reference);
            if (std::fwrite(row_.data(), 1, rowLength_, out_) != rowLength_) {
                closeOutput();
                endBusy();
                return ExportResult::Failed;
            }
            ++rowNumber_;
            if (++totalRows_ % ProgressEvery == 0 && options_.progress)
                options_.progress(static_cast<double>((cursor - first).u64()) / span);

            more = false;
            if (cursor < end) {
                cursor = end;
                for (int i = 0; i < count_; ++i) {
                    DataFileIter& it = items_[i].iter;
                    if (it.advance(1) != 0) {
                        more = true;
                        if (it.time < cursor) cursor = it.time;
                    }
                }
            }
            if (!more) break;
            // Each file shows its latest sample at or before the cursor.
            for (int i = 0; i < count_; ++i)
                if (items_[i].iter.time > cursor) items_[i].iter.retreat(1);
            complete = options_.interval && cursor >= boundary;
        }
        if (!more) {
            bool ok = closeOutput();
            if (options_.progress) options_.progress(1.0);
            endBusy();
            return ok ? ExportResult::Written : ExportResult::Failed;
        }
        if (!closeOutput()) {
            endBusy();
            return ExportResult::Failed;
        }
        const std::string previous = name_;
        if (!nextFileName(name_)) {
            showError("Export ended early.\nNo further file name can be counted up from\n" + previous);
            endBusy();
            return ExportResult::Failed;
        }
        reference = boundary;
    }
}

ExportResult exportData(dFileIt* items, int count, CTime start, CTime end, const std::string& name) {
    DataExporter exporter(items, count, ExportOptions::fromSettings());
    return exporter.run(start, end, name);
}
