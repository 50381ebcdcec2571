#include "forms/ExportForm.h"

#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "ResourceIds.h"
#include "app/AppSettings.h"
#include "export/DataExport.h"
#include "forms/FileForms.h"
#include "notice/UserNotice.h"
#include "time/TimeText.h"
#include "ui/CApp.h"
#include "ui/CDialog.h"

CTime exportStart;
CTime exportEnd;

namespace {
constexpr std::int32_t FirstYear = 1989;
constexpr std::uint32_t WholeMask = 0xFF;

template <std::size_t N>
void copyText(char (&out)[N], const char* text) {
    const std::size_t n = strnlen(text, N - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}
}  // namespace

int typedField(const char* text, std::size_t position) {
    const std::size_t length = std::strlen(text);
    const int first = position < length ? (text[position] & 0x0F) : 0;
    const int second = position + 1 < length ? (text[position + 1] & 0x0F) : 0;
    return 10 * first + second;
}

bool typedTimeValid(const char* text) {
    const int hours = typedField(text, 0);
    const int minutes = typedField(text, 3);
    const int seconds = typedField(text, 6);
    return hours <= 24 && minutes <= 59 && seconds <= 59;
}

// A round trip through the calendar accepts exactly its days; before its
// first year and for day or month 0 the truncating arithmetic would also
// let odd dates through, so those are refused first.
bool typedDateValid(const char* text, bool dayFirst) {
    // A two-digit year would read as one in the 2600s, or before 1989.
    if (std::strlen(text) < 10) return false;
    for (std::size_t i = 6; i < 10; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    const int a = typedField(text, 0);
    const int b = typedField(text, 3);
    TimeFields f;
    f.day = dayFirst ? a : b;
    f.month = dayFirst ? b : a;
    f.year = 100 * typedField(text, 6) + typedField(text, 8);
    if (f.year < FirstYear || f.day < 1 || f.month < 1) return false;
    const TimeFields typed = f;
    dateToDays(f);
    daysToDate(f);
    return f.day == typed.day && f.month == typed.month && f.year == typed.year;
}

void timeTextOf(CTime t, char (&out)[TimeTextLength + 1]) {
    char text[TimeTextMax];
    formatTime(t, text, ShowTime | Time24);
    copyText(out, text);
}

void dateTextOf(CTime t, char (&out)[DateTextLength + 1]) {
    char text[TimeTextMax];
    formatTime(t, text, ShowDate | UseDisplayFlags);
    copyText(out, text);
}

CTime timeFromTexts(const char* timeText, const char* dateText) {
    TimeFields f;
    parseDateTime(timeText, dateText, f);
    return fromFields(f);
}

TimeEdit::TimeEdit(CDialog& dialog, int id, char (&buffer)[TimeTextLength + 1])
    : CStrCtrl(dialog, id, buffer, TimeTextLength) {}

bool TimeEdit::validate() {
    char text[TimeTextLength + 1];
    readText(text, sizeof text);
    if (typedTimeValid(text)) return true;
    showError("Invalid time");
    return false;
}

DateEdit::DateEdit(CDialog& dialog, int id, char (&buffer)[DateTextLength + 1])
    : CStrCtrl(dialog, id, buffer, DateTextLength) {}

bool DateEdit::validate() {
    char text[DateTextLength + 1];
    readText(text, sizeof text);
    if (typedDateValid(text, (AppSettings.displayFlags & DisplayDayFirst) != 0)) return true;
    showError("Invalid Date");
    return false;
}

namespace {

// The form also refuses a span that ends before it starts: it would ask for
// a name and then have nothing to write.
class ExportDialog : public CDialog {
public:
    ExportDialog() : CDialog(IDD_EXPORT) {}

    bool validateAll() override {
        if (!CDialog::validateAll()) return false;
        char startTime[TimeTextLength + 1], startDate[DateTextLength + 1];
        char endTime[TimeTextLength + 1], endDate[DateTextLength + 1];
        GetDlgItemTextA(handle(), IDC_START_TIME, startTime, sizeof startTime);
        GetDlgItemTextA(handle(), IDC_START_DATE, startDate, sizeof startDate);
        GetDlgItemTextA(handle(), IDC_END_TIME, endTime, sizeof endTime);
        GetDlgItemTextA(handle(), IDC_END_DATE, endDate, sizeof endDate);
        if (!(timeFromTexts(endTime, endDate) < timeFromTexts(startTime, startDate))) return true;
        showError("The end is before the start.");
        // The date when it is the earlier one, else the time.
        const bool dateFirst = timeFromTexts("", endDate) < timeFromTexts("", startDate);
        SendMessageA(handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(dateFirst ? IDC_END_DATE : IDC_END_TIME)),
                     TRUE);
        return false;
    }
};

}  // namespace

int runExportForm() {
    char startTime[TimeTextLength + 1], startDate[DateTextLength + 1];
    char endTime[TimeTextLength + 1], endDate[DateTextLength + 1];
    timeTextOf(exportStart, startTime);
    dateTextOf(exportStart, startDate);
    timeTextOf(exportEnd, endTime);
    dateTextOf(exportEnd, endDate);

    bool accepted;
    {
        ExportDialog form;
        // The date buttons choose the output's order; the fields follow DISPLAY's.
        SetDlgItemTextA(form.handle(), IDC_DATE_ORDER,
                        (AppSettings.displayFlags & DisplayDayFirst) ? "Dates as DD/MM/YYYY" : "Dates as MM/DD/YYYY");
        form.bind<TimeEdit>(IDC_START_TIME, startTime);
        form.bind<DateEdit>(IDC_START_DATE, startDate);
        form.bind<TimeEdit>(IDC_END_TIME, endTime);
        form.bind<DateEdit>(IDC_END_DATE, endDate);
        form.bind<CRadioGroupC>(IDC_TIMEFMT_FIRST, IDC_TIMEFMT_LAST, &AppSettings.exportTimeFormat, WholeMask);
        form.bind<CRadioGroupC>(IDC_DATEFMT_FIRST, IDC_DATEFMT_LAST, &AppSettings.exportDateFormat, WholeMask);
        form.bind<CRadioGroupC>(IDC_INTERVAL_FIRST, IDC_INTERVAL_LAST, &AppSettings.exportInterval, WholeMask);
        accepted = form.runModal() > 0;
    }
    // After Cancel the texts are the ones made above: the span stays.
    exportStart = timeFromTexts(startTime, startDate);
    exportEnd = timeFromTexts(endTime, endDate);
    return accepted ? 1 : 0;
}

bool refuseInputAsOutput(const std::string& output, const std::vector<std::string>& inputs) {
    std::error_code ec;
    if (!std::filesystem::exists(output, ec)) return false;
    for (const std::string& input : inputs) {
        if (std::filesystem::equivalent(output, input, ec)) {
            showError("Export not written.\n" + output + "\nis one of the recorder files being exported.");
            return true;
        }
    }
    return false;
}

namespace {

std::string baseName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

// A split never writes the name chosen, so the platform's question about
// it says nothing: ask about the files it does write. True to go on.
bool replaceSplitFiles(const std::vector<std::string>& names) {
    std::error_code ec;
    std::vector<std::string> existing;
    for (const std::string& name : names)
        if (std::filesystem::exists(name, ec)) existing.push_back(name);
    if (existing.empty()) return true;
    const std::string text =
        existing.size() == 1
            ? existing.front() + " already exists.\nDo you want to replace it?"
            : existing.front() + " and " + std::to_string(existing.size() - 1) +
                  " more of the files this export writes already exist.\nDo you want to replace them?";
    return showMessage(text, "Export Filename", BoxType::YesNo | BoxType::IconWarning) != 0;
}

// What the export wrote, for the status bar.
std::string exportSummary(ExportResult result, const DataExporter& exporter) {
    const std::vector<std::string>& files = exporter.written();
    std::string where = files.empty() ? "" : files.front();
    if (files.size() > 1) where += " to " + baseName(files.back());
    const std::string count = std::to_string(files.size()) + " files";
    switch (result) {
    case ExportResult::Written:
        return "Exported " + std::to_string(exporter.rows()) + " rows" + (files.size() > 1 ? " in " + count + ": " : " to ") +
               where + ".";
    case ExportResult::NoData:
        return "Nothing exported: no samples between the start and end times.";
    default:
        return files.empty() ? "Export failed: nothing written." : "Export failed; kept " + count + ": " + where + ".";
    }
}

}  // namespace

int exportDataFiles(dFileIt* items, int count, CTime start, CTime end, const std::vector<std::string>& inputs) {
    exportStart = start;
    exportEnd = end;
    if (!runExportForm()) return 0;
    ExportOptions options = ExportOptions::fromSettings();
    const bool split = options.interval != 0;
    for (;;) {
        auto form = std::make_unique<FileSaveAsForm>(nullptr, "Export Filename", allFilesFilter, 1,
                                                     split ? 0 : AskBeforeOverwrite, nullptr);
        if (!form->chosen) return 0;
        const std::string name = form->fileName;
        if (refuseInputAsOutput(name, inputs)) return 1;
        // Progress in whole percent, painted only when it changes.
        options.progress = [name, shown = -1](double done) mutable {
            const int percent = static_cast<int>(done * 100);
            if (percent != std::exchange(shown, percent)) App.setStatus("Exporting " + name + ": " + std::to_string(percent) + " %");
        };
        DataExporter exporter(items, count, options);
        // No keeps every file as it was and asks for another name.
        if (split && !replaceSplitFiles(exporter.plan(exportStart, exportEnd, name))) continue;
        const ExportResult result = exporter.run(exportStart, exportEnd, name);
        App.setStatus(exportSummary(result, exporter));
        if (result == ExportResult::NoData)
            showMessage("No samples between the start and end times.\nNothing written.", "Export", 0);
        return 1;
    }
}
