#pragma once
// The "&Export" command of the desktop program.
#include <vector>

#include "data/dFileIt.h"
#include "time/CTime.h"

// Asks for recorder files, exports each alarm/event file at once and then
// all chosen data files together. Everything it made is released when it
// returns.
void runExportCommand();

// From the earliest first sample to the latest last sample of the files.
// False when there are none.
bool spanOf(const std::vector<dFileIt>& items, CTime& first, CTime& last);
