// Message boxes and the hourglass of the Windows program.
#include <gtest/gtest.h>

#include <string>

#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "ui/CApp.h"
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
        App.close();
        guitest::takeQuitMessage();
    }
    Win32Notice notice_;
    UserNotice* previous_ = nullptr;
};

HCURSOR standard(int id) { return LoadCursorA(nullptr, MAKEINTRESOURCEA(id)); }

std::string windowText(HWND window) {
    char text[128] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The box shows the caption and text it was given and its answer comes
// back. It belongs to the frame, which the platform activates when the box
// closes; the form that was active must be active again.
TEST_F(Notice, BoxesAnswerAndGiveTheActivationBack) {
    App.mainWindow = std::make_unique<CMDIFrameWnd>(0, 0, 300, 200, 7);
    ShowWindow(App.mainHandle(), SW_SHOW);
    CDialog form(IDD_DISPLAY);
    ShowWindow(form.handle(), SW_SHOW);
    const struct { const char* caption; unsigned type; int button; int result; } cases[] = {
        {"  Error  ", BoxType::Ok, IDOK, 1},
        {"Question", BoxType::YesNo | BoxType::IconQuestion, IDYES, 1},
        {"Question", BoxType::YesNo | BoxType::IconQuestion, IDNO, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        SetActiveWindow(form.handle());
        ASSERT_EQ(GetActiveWindow(), form.handle());
        std::string caption;
        bool textShown = false, hasButton = false;
        guitest::WhenShown answer(c.caption, [&](HWND box) {
            caption = windowText(box);
            for (HWND item = GetWindow(box, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT))
                textShown = textShown || windowText(item) == "Nothing written.";
            hasButton = GetDlgItem(box, c.button) != nullptr;
            PostMessageA(box, WM_COMMAND, c.button, 0);
        });
        EXPECT_EQ(showMessage("Nothing written.", c.caption, c.type), c.result);
        EXPECT_EQ(caption, c.caption);
        EXPECT_TRUE(textShown);
        EXPECT_TRUE(hasButton) << "the box has the buttons of its type";
        EXPECT_EQ(GetActiveWindow(), form.handle());
    }
}

TEST_F(Notice, BusyShowsTheHourglassInWindowsAndForms) {
    struct Plain : CWnd {
        Plain() : CWnd(nullptr, 0, 0, 50, 50, WS_POPUP, 0) {}
    } window;
    CDialog form(IDD_DISPLAY);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    beginBusy();
    EXPECT_EQ(GetCursor(), standard(32514));
    for (HWND w : {window.handle(), form.handle()}) {
        SetCursor(nullptr);
        EXPECT_EQ(SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), overClient), TRUE);
        EXPECT_EQ(GetCursor(), standard(32514));
    }
    endBusy();
    EXPECT_EQ(GetCursor(), standard(32512));
    SetCursor(nullptr);
    SendMessageA(window.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.handle()), overClient);
    EXPECT_EQ(GetCursor(), standard(32512));
}

}  // namespace
