#pragma once
// The straightforward writers the fast paths are measured against: the
// same rows, each value through the C library's fprintf and the time text
// rebuilt from its fields on every row.
#include <cstdint>
#include <cstdio>

#include "data/dFileIt.h"
#include "events/EventFile.h"
#include "time/CTime.h"

namespace bench {

// 24-hour time with the date, month first, no split. Returns the rows written.
std::uint64_t naiveExportData(dFileIt* items, int count, CTime start, CTime end, std::FILE* out);

void naiveExportEvents(EventFile& file, std::FILE* out);

}  // namespace bench
