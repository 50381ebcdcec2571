// The checks of typed times and dates, and the forms run modally with a
// person's answers given from inside their loops.
#include <gtest/gtest.h>

#include <vector>

#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "app/AppSettings.h"
#include "forms/DisplayForm.h"
#include "forms/ExportForm.h"
#include "support/RecordingNotice.h"
#include "support/TimeFieldsOf.h"
#include "time/CTime.h"

namespace {

TEST(TypedTime, FieldsAndLimits) {
    const struct { const char* text; bool valid; } cases[] = {
        {"00:00:00", true},  {"24:00:00", true},  {"24:01:00", true},  {"25:00:00", false},
        {"00:59:59", true},  {"00:60:00", false}, {"00:00:60", false}, {"1a:00:00", true},
        {"", true},          {"23:5", true},      {"9", false},       {"2", true},         {"::::::::", false},
        {"12:34:56xyz", true}, {"?0:00:00", false},
    };
    for (const auto& c : cases) EXPECT_EQ(typedTimeValid(c.text), c.valid) << '"' << c.text << '"';
    EXPECT_EQ(typedField("1a:", 0), 11) << "the low four bits of a letter";
    EXPECT_EQ(typedField("::", 0), 110);
    EXPECT_EQ(typedField("7", 0), 70) << "a missing second character counts 0";
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
    const std::uint8_t saved = AppSettings.displayFlags;
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
    AppSettings.displayFlags = saved;
}

class Forms : public ::testing::Test {
protected:
    void SetUp() override {
        guitest::prepareApp();
        guitest::takeQuitMessage();
        saved_ = AppSettings;
    }
    void TearDown() override { AppSettings = saved_; }
    testsupport::RecordingNotice notice;
    AppSettingsRecord saved_;
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

TEST_F(Forms, ExportFormRejectsBadFieldsThenTakesTheTypedSpan) {
    AppSettings.displayFlags = 0x40;
    exportStart = at(2004, 3, 5, 10, 15, 0) + CTime::fromTicks(2500);
    exportEnd = at(2004, 3, 5, 13, 9, 30);
    std::string shownStart;
    guitest::WhenShown answer("Export", [&](HWND d) {
        char text[32];
        GetDlgItemTextA(d, IDC_START_DATE, text, sizeof text);
        shownStart = text;
        SetDlgItemTextA(d, IDC_END_DATE, "29/02/2003 ");
        guitest::clickItem(d, IDOK);  // refused: stays open
        SetDlgItemTextA(d, IDC_END_DATE, "06/03/2004 ");
        SetDlgItemTextA(d, IDC_END_TIME, "24:00:00");
        guitest::clickItem(d, 112);
        guitest::clickItem(d, IDOK);
    });
    EXPECT_EQ(runExportForm(), 1);
    EXPECT_EQ(shownStart, "05/03/2004 ");
    EXPECT_EQ(notice.messages, (std::vector<testsupport::ShownMessage>{testsupport::errorBox("Invalid Date")}));
    EXPECT_EQ(exportStart, at(2004, 3, 5, 10, 15, 0)) << "read back to the second";
    EXPECT_EQ(exportEnd, at(2004, 3, 7, 0, 0, 0));
    EXPECT_EQ(AppSettings.exportTimeFormat, 3);
}

TEST_F(Forms, ExportFormCancelKeepsSpanAndOptions) {
    AppSettings.exportTimeFormat = 1;
    AppSettings.exportDateFormat = 2;
    AppSettings.exportInterval = 4;
    exportStart = at(2010, 12, 31, 23, 59, 59);
    exportEnd = at(2011, 1, 1, 0, 0, 1);
    guitest::WhenShown answer("Export", [&](HWND d) {
        SetDlgItemTextA(d, IDC_START_TIME, "01:02:03");
        guitest::clickItem(d, 109);
        guitest::clickItem(d, 113);
        guitest::clickItem(d, 117);
        guitest::clickItem(d, IDCANCEL);
    });
    EXPECT_EQ(runExportForm(), 0);
    EXPECT_EQ(exportStart, at(2010, 12, 31, 23, 59, 59));
    EXPECT_EQ(exportEnd, at(2011, 1, 1, 0, 0, 1));
    EXPECT_EQ(AppSettings.exportTimeFormat, 1);
    EXPECT_EQ(AppSettings.exportDateFormat, 2);
    EXPECT_EQ(AppSettings.exportInterval, 4);
    EXPECT_TRUE(notice.messages.empty());
}

}  // namespace
