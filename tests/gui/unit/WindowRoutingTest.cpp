// Message routing of the window layer: the double-click rule, who frees a
// window object, and the frame's end of the message loop.
#include <gtest/gtest.h>

#include <vector>

#include "GuiTestSupport.h"
#include "ui/CWnd.h"

namespace {

DWORD fakeNow = 0;
DWORD WINAPI fakeClock() { return fakeNow; }

struct Press { DWORD keys; int x; int y; };

class PressRecorder : public CWnd {
public:
    explicit PressRecorder(std::vector<Press>& log) : CWnd(nullptr, 0, 0, 50, 50, WS_POPUP, 0), log_(log) {}
    void buttonDown(DWORD keys, int x, int y) override { log_.push_back({keys, x, y}); }

private:
    std::vector<Press>& log_;
};

class WindowRouting : public ::testing::Test {
protected:
    void SetUp() override {
        guitest::prepareApp();
        previous_ = setTickSource(fakeClock);
        forgetButtonDowns();
    }
    void TearDown() override {
        setTickSource(previous_);
        guitest::takeQuitMessage();
    }
    TickSource previous_ = nullptr;
};

TEST_F(WindowRouting, PressesWithin500MsAreDoubleClicksAcrossButtonsAndWindows) {
    std::vector<Press> log;
    PressRecorder first(log), second(log);
    ASSERT_NE(first.handle(), nullptr);
    const struct { DWORD at; PressRecorder* window; UINT message; bool doubleClick; } presses[] = {
        {1000, &first, WM_LBUTTONDOWN, false},   // the first press ever
        {1499, &first, WM_LBUTTONDOWN, true},    // 499 ms later
        {1999, &second, WM_RBUTTONDOWN, false},  // 500 ms later
        {2300, &first, WM_MBUTTONDOWN, true},    // other window, other button
        {2300, &second, WM_LBUTTONUP, false},    // a release is no press
        {2799, &second, WM_LBUTTONDOWN, true},   // measured from the last press
    };
    for (const auto& p : presses) {
        fakeNow = p.at;
        SendMessageA(p.window->handle(), p.message, MK_LBUTTON, MAKELPARAM(7, 9));
    }
    ASSERT_EQ(log.size(), 5u);
    std::size_t i = 0;
    for (const auto& p : presses) {
        if (p.message == WM_LBUTTONUP) continue;
        SCOPED_TRACE(p.at);
        EXPECT_EQ((log[i].keys & DoubleClickBit) != 0, p.doubleClick);
        EXPECT_EQ(log[i].keys & ~DoubleClickBit, static_cast<DWORD>(MK_LBUTTON));
        EXPECT_EQ(log[i].x, 7);
        EXPECT_EQ(log[i].y, 9);
        ++i;
    }
}

int frameDestructions = 0;

class CountedFrame : public CMDIFrameWnd {
public:
    CountedFrame() : CMDIFrameWnd(0, 0, 300, 200, 7) {}
    ~CountedFrame() override { ++frameDestructions; }
};

// Closed from code or destroyed by the platform: the window goes, the
// object is freed once and the message loop ends.
TEST_F(WindowRouting, ClosingTheFrameEitherWayFreesItOnceAndEndsTheLoop) {
    for (bool fromCode : {true, false}) {
        SCOPED_TRACE(fromCode ? "App.close" : "DestroyWindow");
        frameDestructions = 0;
        App.mainWindow = std::make_unique<CountedFrame>();
        HWND frame = App.mainHandle();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(CWnd::fromHandle(frame), App.mainWindow.get());
        EXPECT_NE(App.mdiClient, nullptr);
        if (fromCode) {
            App.close();
            EXPECT_EQ(App.mdiClient, nullptr);
        } else {
            DestroyWindow(frame);
            EXPECT_EQ(App.mainWindow, nullptr);
        }
        EXPECT_EQ(frameDestructions, 1);
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_TRUE(guitest::takeQuitMessage());
    }
}

TEST_F(WindowRouting, FrameCommandsWithOtherNotificationsDoNothing) {
    struct Frame : CMDIFrameWnd {
        Frame() : CMDIFrameWnd(0, 0, 300, 200, 7) {}
        bool pass(int code, int id) { return CMDIFrameWnd::command(code, id, nullptr); }
    };
    Frame frame;
    ASSERT_NE(frame.handle(), nullptr);
    EXPECT_FALSE(frame.pass(2, 32001)) << "a notification of 2 is not passed on";
    EXPECT_FALSE(frame.pass(0, 32003)) << "cascade is the frame's own";
    EXPECT_TRUE(frame.pass(1, 1234)) << "an unknown command with no MDI child goes to the default";
}

TEST_F(WindowRouting, WindowsWithoutAnObjectGetTheDefaultProcedure) {
    HWND bare = CreateWindowExA(0, WindowClassName, "bare", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, App.instance,
                                nullptr);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(CWnd::fromHandle(bare), nullptr);
    EXPECT_EQ(SendMessageA(bare, WM_ERASEBKGND, 0, 0), DefWindowProcA(bare, WM_ERASEBKGND, 0, 0));
    DestroyWindow(bare);
}

}  // namespace
