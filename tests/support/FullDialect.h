#pragma once
// A dialect that changes every part of an export's text it can at once:
// semicolons, decimal commas, trimmed fields, UTF-8 behind its mark.
#include "export/CsvDialect.h"

namespace testsupport {

inline CsvDialect fullDialect(CsvDialect::LineEnd lineEnd, CsvDialect::TimeStyle time) {
    CsvDialect d;
    d.delimiter = ';';
    d.decimalComma = true;
    d.trim = true;
    d.encoding = CsvDialect::Encoding::Utf8;
    d.byteOrderMark = true;
    d.lineEnd = lineEnd;
    d.time = time;
    return d;
}

}  // namespace testsupport
