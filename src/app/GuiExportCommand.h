#pragma once
// The "&Export" command of the desktop program.
#include <memory>
#include <string>
#include <vector>

#include "data/dFileIt.h"
#include "time/CTime.h"

// Asks for recorder files, exports each alarm/event file at once and then
// all chosen data files together. Everything it made is released when it
// returns.
void runExportCommand();

// Says which data files past the most one export or chart takes are left
// out and asks whether to go on with the first ones ("Export the first
// 15?"); `what` names the export or chart, `caption` the command.
bool goOnWithout(const std::vector<std::string>& leftOut, const char* what, const char* caption);

// Opens a recorder file known to hold data: header and first block.
std::shared_ptr<DataFile> openDataFile(std::unique_ptr<File> file);

// The Export form over the data files at `paths`, with start and end
// filled in, then the output name and the writer.
void exportSpanOf(const std::vector<std::string>& paths, CTime start, CTime end);

// From the earliest first sample to the latest last sample of the files.
// False when there are none.
bool spanOf(const std::vector<dFileIt>& items, CTime& first, CTime& last);
