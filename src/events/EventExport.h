#pragma once
// An alarm/event file as comma-separated text: a header line, then one line
// per event, oldest first. Dates and times follow AppSettings.displayFlags.
#include <cstdio>
#include <string>

#include "events/EventFile.h"
#include "export/CsvDialect.h"

inline constexpr const char* EventHeaderLine = "\"Date\",\"Time\",\"Point/Event\",\"Type\",\"Value\"\n";

// Appends one line, with its "\n", to out.
void formatEvent(const Event& event, const StateLabels& labels, std::string& out);

// Writes the header line and every event to an open stream and flushes it;
// false on a write error, which the caller reports. With a dialect the
// lines are rewritten by it (the stream takes them as bytes).
bool writeEvents(EventFile& file, std::FILE* out, CsvRewriter* dialect = nullptr);

// Creates (or replaces) the text file at path and writes it with
// writeEvents. False, after reporting why, when the file cannot be created
// or not all of it was written.
bool exportEvents(EventFile& file, const std::string& path, CsvRewriter* dialect = nullptr);
