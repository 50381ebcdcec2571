#pragma once
// Pieces the export commands share: opening the chosen recorder files and
// reading times given on the command line.
#include <memory>
#include <optional>
#include <string>

#include "InputFiles.h"
#include "data/DataFile.h"
#include "data/File.h"
#include "time/CTime.h"

class ConsoleNotice;

// Opens the file and reads its identification header; null when it could
// not be read (the reason has been reported).
std::unique_ptr<File> openRecorderPath(const std::string& path);
// The same, for a command that takes one kind of recorder file: a file of
// the other kind is reported as such (naming the command that takes it)
// and gives null.
std::unique_ptr<File> openRecorderOf(RecorderKind kind, const std::string& path, ConsoleNotice& notice);
// A chosen data file opened to its first block; null when it is not one or
// holds no block (the reason has been reported, under the file's name).
std::unique_ptr<DataFile> openDataFile(const std::string& path, ConsoleNotice& notice);

// "YYYY-MM-DD HH:MM:SS" (or with a "T", or a date alone) as a recorder
// time; nothing when the text is not such a time from 1989 on.
std::optional<CTime> parseLocalTime(const std::string& text);
// --start and --end, each where given; the usage error, or empty.
std::string parseSpanOptions(const std::string& startText, const std::string& endText, std::optional<CTime>& start,
                             std::optional<CTime>& end);

// Whether progress may be drawn: stderr is a terminal.
bool stderrIsTerminal();

// Standard output takes bytes as they are (Windows would add CRs).
void binaryStdout();
