// The checks of typed times and dates, and the forms run modally with a
// person's answers given from inside their loops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "app/AppSettings.h"
#include "forms/DisplayForm.h"
#include "forms/ExportForm.h"
#include "support/KeptSettings.h"
#include "support/RecordingNotice.h"
#include "support/TimeFieldsOf.h"
#include "time/CTime.h"

namespace {

// A field is ten times the low four bits of its first character plus those
// of the second (0 when missing): letters and colons count too.
TEST(TypedTime, FieldsAndLimits) {
    const struct { const char* text; bool valid; } cases[] = {
        {"00:00:00", true},  {"24:00:00", true},  {"24:01:00", true},  {"25:00:00", false},
        {"00:59:59", true},  {"00:60:00", false}, {"00:00:60", false}, {"1a:00:00", true},
        {"", true},          {"23:5", true},      {"9", false},       {"2", true},         {"::::::::", false},
        {"12:34:56xyz", true}, {"?0:00:00", false},
    };
    for (const auto& c : cases) EXPECT_EQ(typedTimeValid(c.text), c.valid) << '"' << c.text << '"';
}

TEST(TypedDate, CalendarDaysFrom1989On) {
    const struct { const char* text; bool dayFirst; bool valid; } cases[] = {
        {"02/29/2004 ", false, true},  {"02/29/2100 ", false, true},  {"02/29/2003 ", false, false},
        {"02/30/2004 ", false, false}, {"13/01/2004 ", false, false}, {"12/31/1999 ", false, true},
        {"31/12/2004 ", true, true},   {"12/31/2004 ", true, false},  {"01/01/1989 ", false, true},
        {"12/31/1988 ", false, false}, {"01/01/1988 ", false, false}, {"00/00/1995 ", false, false},
        {"00/00/1989 ", false, false}, {"01/00/2004 ", false, false}, {"00/01/2004 ", true, false},
        {"01/01/04", false, false},    {"", false, false},            {"04/31/2004 ", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(typedDateValid(c.text, c.dayFirst), c.valid) << '"' << c.text << "\" day first " << c.dayFirst;
}

TEST(FormTexts, FollowTheDisplayOrderAndReadBack) {
    testsupport::KeptSettings kept;
    const CTime t = fromFields(testsupport::date(5, 3, 2001, 14, 5, 9));
    char time[TimeTextLength + 1];
    char date[DateTextLength + 1];
    for (std::uint8_t flags : {std::uint8_t{0x20}, std::uint8_t{0x40}}) {
        AppSettings.displayFlags = flags;
        timeTextOf(t, time);
        dateTextOf(t, date);
        EXPECT_STREQ(time, "14:05:09");
        EXPECT_STREQ(date, flags == 0x40 ? "05/03/2001 " : "03/05/2001 ");
        EXPECT_EQ(timeFromTexts(time, date), t);
    }
}

class Forms : public ::testing::Test {
protected:
    void SetUp() override {
        guitest::prepareApp();
        guitest::takeQuitMessage();
    }
    testsupport::KeptSettings kept;
    testsupport::RecordingNotice notice;
};

// The form opens on the clock and date order of the flags and keeps only
// those two bits, on OK.
TEST_F(Forms, DisplayFormShowsAndSetsItsTwoBits) {
    const struct { std::uint8_t before; std::vector<int> clicks; int answer; std::uint8_t after; } cases[] = {
        {0x21, {}, IDOK, 0x20}, {0x21, {}, IDCANCEL, 0x21}, {0x60, {}, IDOK, 0x60}, {0x00, {}, IDOK, 0x00},
        {0x20, {IDC_CLOCK_12, IDC_ORDER_DAY}, IDOK, 0x40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.before));
        AppSettings.displayFlags = c.before;
        bool opened24 = false, openedDayFirst = false;
        guitest::WhenShown answer("DISPLAY", [&](HWND d) {
            opened24 = SendDlgItemMessageA(d, IDC_CLOCK_24, BM_GETCHECK, 0, 0) == BST_CHECKED;
            openedDayFirst = SendDlgItemMessageA(d, IDC_ORDER_DAY, BM_GETCHECK, 0, 0) == BST_CHECKED;
            for (int id : c.clicks) guitest::clickItem(d, id);
            guitest::clickItem(d, c.answer);
        });
        EXPECT_EQ(runDisplayForm(), c.answer == IDOK ? 1 : 0);
        EXPECT_TRUE(answer.done());
        EXPECT_EQ(opened24, (c.before & DisplayTime24) != 0);
        EXPECT_EQ(openedDayFirst, (c.before & DisplayDayFirst) != 0);
        EXPECT_EQ(AppSettings.displayFlags, c.after);
    }
}

CTime at(int year, int month, int day, int hour, int minute, int second) {
    return fromFields(testsupport::date(day, month, year, hour, minute, second));
}

// Each OK checks the edits in the form's order, stops at the first bad one
// and puts the focus there; nothing is saved until all pass, so after
// Cancel the span and options are the ones the form opened with.
TEST_F(Forms, ExportFormSavesTheTypedSpanOnlyWhenEveryFieldPasses) {
    AppSettings.displayFlags = 0x40;
    const CTime start = at(2004, 3, 5, 10, 15, 0), end = at(2004, 3, 5, 13, 9, 30);
    const struct { int last; int result; CTime start; CTime end; int timeFormat; } cases[] = {
        {IDOK, 1, at(2004, 3, 5, 1, 2, 3), at(2004, 3, 7, 0, 0, 0), 3},
        {IDCANCEL, 0, start, end, 1},  // the start read back to the second
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.last == IDOK ? "OK" : "Cancel");
        notice.clear();
        AppSettings.exportTimeFormat = 1;
        exportStart = start + CTime::fromTicks(2500);
        exportEnd = end;
        std::string shownStart;
        std::vector<int> focused;
        guitest::WhenShown answer("Export", [&](HWND d) {
            auto refusedOk = [&] {
                guitest::clickItem(d, IDOK);
                focused.push_back(GetDlgCtrlID(GetFocus()));
            };
            char text[32];
            GetDlgItemTextA(d, IDC_START_DATE, text, sizeof text);
            shownStart = text;
            guitest::clickItem(d, 112);
            SetDlgItemTextA(d, IDC_START_TIME, "25:00:00");
            SetDlgItemTextA(d, IDC_END_DATE, "02/13/2004 ");  // month first: refused when days come first
            refusedOk();
            SetDlgItemTextA(d, IDC_START_TIME, "01:02:03");
            refusedOk();
            SetDlgItemTextA(d, IDC_END_DATE, "06/03/2004 ");
            SetDlgItemTextA(d, IDC_END_TIME, "24:00:00");
            guitest::clickItem(d, c.last);
        });
        EXPECT_EQ(runExportForm(), c.result);
        EXPECT_EQ(shownStart, "05/03/2004 ");
        EXPECT_EQ(notice.messages, (std::vector<testsupport::ShownMessage>{testsupport::errorBox("Invalid time"),
                                                                           testsupport::errorBox("Invalid Date")}));
        EXPECT_EQ(focused, (std::vector<int>{IDC_START_TIME, IDC_END_DATE}));
        EXPECT_EQ(exportStart, c.start);
        EXPECT_EQ(exportEnd, c.end);
        EXPECT_EQ(AppSettings.exportTimeFormat, c.timeFormat);
    }
}

}  // namespace
