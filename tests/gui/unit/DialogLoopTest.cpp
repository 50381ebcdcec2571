// The modal loop of forms: which keys and buttons end it, and with what.
#include <gtest/gtest.h>

#include <functional>

#include "GuiTestSupport.h"
#include "ResourceIds.h"
#include "ui/CDialog.h"
#include "ui/CWnd.h"

namespace {

class DialogLoop : public ::testing::Test {
protected:
    void SetUp() override {
        guitest::prepareApp();
        guitest::takeQuitMessage();
    }
    void TearDown() override { guitest::takeQuitMessage(); }  // a frame ends the loop when it goes
};

void postKey(HWND target, int key) {
    PostMessageA(target, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
    PostMessageA(target, WM_KEYUP, static_cast<WPARAM>(key), static_cast<LPARAM>(0xC0000001));
}

TEST_F(DialogLoop, EndsOnOkCancelEscapeAndEnter) {
    const struct {
        const char* label;
        std::function<void(CDialog&)> act;
        int result;
    } cases[] = {
        {"OK clicked", [](CDialog& d) { PostMessageA(d.item(IDOK), BM_CLICK, 0, 0); }, 1},
        {"Cancel clicked", [](CDialog& d) { PostMessageA(d.item(IDCANCEL), BM_CLICK, 0, 0); }, -1},
        {"Escape in a field", [](CDialog& d) { postKey(d.item(IDC_START_TIME), VK_ESCAPE); }, -1},
        {"Enter in a field acts as the default button",
         [](CDialog& d) { postKey(d.item(IDC_END_TIME), VK_RETURN); }, 1},
        {"the close command", [](CDialog& d) { PostMessageA(d.handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        HWND window = nullptr;
        {
            CDialog form(IDD_EXPORT);
            window = form.handle();
            ASSERT_NE(window, nullptr);
            SetFocus(form.item(IDC_START_TIME));
            c.act(form);
            EXPECT_EQ(form.runModal(), c.result);
            EXPECT_TRUE(IsWindow(window)) << "the caller deletes the dialog, not the loop";
        }
        EXPECT_FALSE(IsWindow(window)) << "the window goes with its object";
    }
}

TEST_F(DialogLoop, QuitEndsTheLoopAndReachesTheOuterLoop) {
    CDialog form(IDD_DISPLAY);
    PostQuitMessage(7);
    EXPECT_EQ(form.runModal(), 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(DialogLoop, NoTemplateMeansNoWaiting) {
    CDialog missing(999);
    EXPECT_EQ(missing.handle(), nullptr);
    EXPECT_EQ(missing.runModal(), 0);
}

TEST_F(DialogLoop, TheOwnerTakesNoInputWhileTheFormRuns) {
    CMDIFrameWnd owner(0, 0, 300, 200, 7);
    bool enabledDuring = true;
    {
        CDialog form(IDD_DISPLAY, &owner);
        guitest::WhenShown look("DISPLAY", [&](HWND d) {
            enabledDuring = IsWindowEnabled(owner.handle()) != FALSE;
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(form.runModal(), -1);
    }
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(IsWindowEnabled(owner.handle()));
}

}  // namespace
