#pragma once
// The text options `export` and `events` share, as given on the command
// line, and the dialect they make.
#include <optional>
#include <string>

#include "export/CsvDialect.h"

struct DialectOptions {
    std::string delimiter;  // empty: the comma
    bool decimalComma = false;
    bool trim = false;
    std::string encoding;   // empty: cp1252, or utf8 with --bom or --excel
    bool bom = false;
    bool crlf = false;
    bool lf = false;
    bool excel = false;
};

// The dialect, or nothing after a usage message in `problem`. --excel
// sets UTF-8, the byte-order mark, CR LF and, where the user's locale
// writes a decimal comma, ';' and decimal commas; options given beside it
// take precedence.
std::optional<CsvDialect> makeDialect(const DialectOptions& options, std::string& problem);

// The user's locale writes numbers with a decimal comma: LC_ALL,
// LC_NUMERIC or LANG, the first set; on Windows the user's setting.
bool userLocaleWritesDecimalComma();

// Where a spreadsheet stops: rows in one sheet, the header line included.
inline constexpr unsigned long SpreadsheetRows = 1048576;
