#pragma once
// Pieces the export commands share: opening the chosen recorder files and
// reading times given on the command line.
#include <memory>
#include <optional>
#include <string>

#include "data/File.h"
#include "time/CTime.h"

class ConsoleNotice;

// Opens the file and reads its identification header; null when it could
// not be read (the reason has been reported).
std::unique_ptr<File> openRecorderPath(const std::string& path);

// "YYYY-MM-DD HH:MM:SS" (or with a "T", or a date alone) as a recorder
// time; nothing when the text is not such a time from 1989 on.
std::optional<CTime> parseLocalTime(const std::string& text);

// Whether progress may be drawn: stderr is a terminal.
bool stderrIsTerminal();

// Standard output takes bytes as they are (Windows would add CRs).
void binaryStdout();
