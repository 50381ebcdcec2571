#include "DialectOptions.h"

#include <cstdlib>
#include <locale>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "export/LocaleDecimal.h"

bool userLocaleWritesDecimalComma() {
#if defined(_WIN32)
    char point[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, point, sizeof point) > 0) return point[0] == ',';
    return false;
#else
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    if (!name) return false;
    // The locale itself when it is installed; else what its name says.
    try {
        return std::use_facet<std::numpunct<char>>(std::locale(name)).decimal_point() == ',';
    } catch (const std::exception&) {
        return localeWritesDecimalComma(name);
    }
#endif
}

std::optional<CsvDialect> makeDialect(const DialectOptions& o, std::string& problem) {
    CsvDialect d;
    if (o.excel) {
        d.encoding = CsvDialect::Encoding::Utf8;
        d.byteOrderMark = true;
        d.lineEnd = CsvDialect::LineEnd::CrLf;
        if (o.delimiter.empty() && userLocaleWritesDecimalComma()) {
            d.delimiter = ';';
            d.decimalComma = true;
        }
    }
    if (!o.delimiter.empty()) {
        if (o.delimiter == "\\t" || o.delimiter == "tab" || o.delimiter == "\t") d.delimiter = '\t';
        else if (o.delimiter.size() == 1) d.delimiter = o.delimiter[0];
        else {
            problem = "--delimiter takes one character, \\t or tab, not \"" + o.delimiter + "\"";
            return std::nullopt;
        }
    }
    if (o.decimalComma) d.decimalComma = true;
    d.trim = o.trim;
    if (o.bom) {
        d.byteOrderMark = true;
        if (o.encoding.empty()) d.encoding = CsvDialect::Encoding::Utf8;
    }
    if (o.encoding == "utf8") d.encoding = CsvDialect::Encoding::Utf8;
    else if (o.encoding == "cp1252") d.encoding = CsvDialect::Encoding::Windows1252;
    else if (!o.encoding.empty()) {
        problem = "--encoding takes cp1252 or utf8, not \"" + o.encoding + "\"";
        return std::nullopt;
    }
    // The mark says UTF-8: a spreadsheet export asked for in cp1252 goes without.
    if (o.excel && !o.bom && d.encoding == CsvDialect::Encoding::Windows1252) d.byteOrderMark = false;
    if (o.crlf && o.lf) {
        problem = "--crlf and --lf exclude each other";
        return std::nullopt;
    }
    if (o.crlf) d.lineEnd = CsvDialect::LineEnd::CrLf;
    if (o.lf) d.lineEnd = CsvDialect::LineEnd::Lf;
    problem = d.problem();
    if (!problem.empty()) return std::nullopt;
    return d;
}
