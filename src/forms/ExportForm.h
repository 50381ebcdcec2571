#pragma once
// The "Export" form: the span, the stamp and date formats and the
// interval of a data export, then the output name, then the writer.
#include <string>
#include <vector>

#include "data/dFileIt.h"
#include "time/CTime.h"
#include "ui/CControl.h"

// The span the form edits; set by the export command.
extern CTime exportStart;
extern CTime exportEnd;

inline constexpr int TimeTextLength = 9;   // "hh:mm:ss"
inline constexpr int DateTextLength = 11;  // "MM/DD/YYYY "

// A two-character number at a 0-based position of a typed text: ten times
// the low four bits of the first character plus those of the second;
// positions past the end count as 0.
int typedField(const char* text, std::size_t position);
// Hours 0 to 24, minutes and seconds 0 to 59.
bool typedTimeValid(const char* text);
// A calendar day from 1 January 1989 on.
bool typedDateValid(const char* text, bool dayFirst);

// The texts the edits show for a time: "hh:mm:ss" and the date in the
// display order with a four-digit year and a trailing blank.
void timeTextOf(CTime t, char (&out)[TimeTextLength + 1]);
void dateTextOf(CTime t, char (&out)[DateTextLength + 1]);
// Reads a time and a date text back into a time.
CTime timeFromTexts(const char* timeText, const char* dateText);

class TimeEdit : public CStrCtrl {
public:
    TimeEdit(CDialog& dialog, int id, char (&buffer)[TimeTextLength + 1]);
    bool validate() override;
};

class DateEdit : public CStrCtrl {
public:
    DateEdit(CDialog& dialog, int id, char (&buffer)[DateTextLength + 1]);
    bool validate() override;
};

// Runs the form over exportStart, exportEnd and the export settings.
// 1 when the user accepted it.
int runExportForm();

// The form, then "Export Filename", then the writer. An output name that
// is one of `inputs` (every file of the selection) is refused. 1 when a
// name was chosen, 0 when the user cancelled either form.
int exportDataFiles(dFileIt* items, int count, CTime start, CTime end,
                    const std::vector<std::string>& inputs = {});

// Shows why and returns true when `output` is one of `inputs`.
bool refuseInputAsOutput(const std::string& output, const std::vector<std::string>& inputs);
