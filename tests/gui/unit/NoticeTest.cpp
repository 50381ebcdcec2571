// Message boxes and the hourglass of the Windows program.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "ui/CDialog.h"
#include "ui/CWnd.h"
#include "ui/Win32Notice.h"

namespace {

class Notice : public ::testing::Test {
protected:
    void SetUp() override {
        guitest::prepareApp();
        guitest::takeQuitMessage();
        previous_ = setUserNotice(&notice_);
    }
    void TearDown() override {
        endBusy();
        setUserNotice(previous_);
    }
    Win32Notice notice_;
    UserNotice* previous_ = nullptr;
};

HCURSOR standard(int id) { return LoadCursorA(nullptr, MAKEINTRESOURCEA(id)); }

TEST_F(Notice, ErrorBoxAnswersAndGivesTheActivationBack) {
    CDialog form(IDD_DISPLAY);
    SetActiveWindow(form.handle());
    ASSERT_EQ(GetActiveWindow(), form.handle());
    std::string caption, text;
    guitest::WhenShown answer("  Error  ", [&](HWND box) {
        char buffer[128];
        GetWindowTextA(box, buffer, sizeof buffer);
        caption = buffer;
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            GetWindowTextA(c, buffer, sizeof buffer);
            if (std::string(buffer) == "Invalid time") text = buffer;
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(reportError("Invalid time"), 0);
    EXPECT_TRUE(answer.done());
    EXPECT_EQ(caption, "  Error  ");
    EXPECT_EQ(text, "Invalid time");
    EXPECT_EQ(GetActiveWindow(), form.handle()) << "the form is active again";
}

TEST_F(Notice, YesNoBoxAnswers) {
    for (const auto& [button, result] : {std::pair{IDYES, 1}, std::pair{IDNO, 0}}) {
        guitest::WhenShown answer("Question", [b = button](HWND box) { PostMessageA(box, WM_COMMAND, b, 0); });
        EXPECT_EQ(showMessage("Go on?", "Question", BoxType::YesNo | BoxType::IconQuestion), result);
    }
}

TEST_F(Notice, BusyShowsTheHourglassInWindowsAndForms) {
    struct Plain : CWnd {
        Plain() : CWnd(nullptr, 0, 0, 50, 50, WS_POPUP, 0) {}
    } window;
    CDialog form(IDD_DISPLAY);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    beginBusy();
    beginBusy();
    EXPECT_EQ(GetCursor(), standard(32514));
    for (HWND w : {window.handle(), form.handle()}) {
        SetCursor(nullptr);
        EXPECT_EQ(SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), overClient), TRUE);
        EXPECT_EQ(GetCursor(), standard(32514));
    }
    endBusy();  // one end ends it, however many begins
    EXPECT_FALSE(isBusy());
    EXPECT_EQ(GetCursor(), standard(32512));
    SetCursor(nullptr);
    SendMessageA(window.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.handle()), overClient);
    EXPECT_EQ(GetCursor(), standard(32512));
}

}  // namespace
