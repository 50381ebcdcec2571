#pragma once
// Writes the samples of one or more data files, between a start and an end
// time, as comma-separated text: one row per distinct sample time, one value
// column per file, each file repeating its latest sample until its next one;
// optionally one output file per minute, hour, day, week or month.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "data/dFileIt.h"
#include "time/CTime.h"

struct ExportOptions {
    std::uint8_t timeFormat = 1;  // 0 sample number, 1 elapsed, 2 12-hour, 3 24-hour
    std::uint8_t dateFormat = 0;  // 0 none, 1 month first, 2 day first
    std::uint8_t interval = 0;    // 0 none .. 5 month
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

enum class ExportResult { Written, NoData, Failed };

class DataExporter {
public:
    DataExporter(dFileIt* items, int count, ExportOptions options);
    ExportResult run(CTime start, CTime end, std::string name);
    // The files written, in order.
    const std::vector<std::string>& written() const { return written_; }
    std::uint64_t rows() const { return totalRows_; }

private:
    bool openOutput();
    bool closeOutput();
    bool writeHeader();
    void buildRow(CTime cursor, CTime reference);
    bool isInput(const std::string& path) const;
    bool fail(const std::string& text);

    dFileIt* items_;
    int count_;
    ExportOptions options_;
    unsigned timeFlags_ = 0;
    std::string name_;
    std::FILE* out_ = nullptr;
    bool ownFile_ = false;
    std::uint32_t rowNumber_ = 0;
    std::uint64_t totalRows_ = 0;
    std::vector<char> row_;
    std::size_t rowLength_ = 0;
    std::vector<std::string> written_;
};

// Exports with the settings in AppSettings; reports its own failures.
ExportResult exportData(dFileIt* items, int count, CTime start, CTime end, const std::string& name);
