#pragma once
// The export text for spreadsheets and scripts: another delimiter, decimal
// commas, numbers without their padding, UTF-8 with or without a byte-order
// mark, a chosen line end, ISO or plain-seconds times. The exact export
// stays as it is; a CsvRewriter turns its finished lines into the dialect,
// field by field, so a label holding a comma or a dot comes through whole.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct CsvDialect {
    enum class Encoding : std::uint8_t { Windows1252, Utf8 };
    enum class LineEnd : std::uint8_t { Platform, Lf, CrLf };
    // Iso takes the time column of a 24-hour export with month-first date;
    // Seconds that of an elapsed-time export without date.
    enum class TimeStyle : std::uint8_t { AsExported, Iso, Seconds };

    char delimiter = ',';
    bool decimalComma = false;
    bool trim = false;
    Encoding encoding = Encoding::Windows1252;
    bool byteOrderMark = false;
    LineEnd lineEnd = LineEnd::Platform;
    TimeStyle time = TimeStyle::AsExported;
    // Replaces the time column's title when not empty.
    std::string timeTitle;

    // The exact export: nothing to rewrite.
    bool isDefault() const;
    // Why the combination cannot be written, or empty.
    std::string problem() const;
};

// Rewrites the lines of one export, file after file.
class CsvRewriter {
public:
    explicit CsvRewriter(const CsvDialect& dialect);

    // A new output file begins: the byte-order mark, when chosen.
    void startFile(std::string& out);
    // The header line. The first title is the time column's; timeTitle
    // replaces it.
    void header(const std::vector<std::string>& titles, std::string& out);
    // Complete data lines, each ending in '\n', of the data export.
    void rows(const char* text, std::size_t size, std::string& out);
    // One line (without its '\n') of `fields` fields; the last one takes
    // the rest of the line, so it may hold anything.
    void line(std::string_view text, std::size_t fields, std::string& out);

    // The most data lines any one output file got so far.
    std::uint64_t mostRowsInOneFile() const { return most_; }
    const CsvDialect& dialect() const { return d_; }

private:
    void field(std::string_view f, bool first, std::string& out);
    void quoted(std::string_view f, std::string& out);
    void endLine(std::string& out);
    void encode(std::string_view cp1252, std::string& out);

    CsvDialect d_;
    std::string scratch_;
    std::uint64_t rows_ = 0;
    std::uint64_t most_ = 0;
};
