#pragma once
// A chart of data files in an MDI child window: one panel per channel over
// a shared time axis, moved through with the mouse and keys, its visible
// span exported or copied as a picture. The files' summaries are built in
// slices between messages, so the window is usable while a large
// recording is read.
#include <memory>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "plot/ChannelSummary.h"
#include "plot/ChartView.h"
#include "ui/CWnd.h"

class ChartWindow : public CWnd {
public:
    struct Channel {
        std::string path;
        std::shared_ptr<DataFile> file;
        std::unique_ptr<ChannelSummary> summary;
        bool readThrough = false;  // and what ended its chain shown
    };

    // Opens an MDI child of `frame` over the files (each opened, none empty).
    ChartWindow(CMDIFrameWnd& frame, std::vector<Channel> channels);
    ~ChartWindow() override;

    bool handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool command(int code, int id, HWND control) override;
    void paint(HDC dc, int left, int top, int right, int bottom, bool erase) override;
    int keyDown(int virtualKey) override;
    int character(int code) override;
    void buttonDown(DWORD keys, int x, int y) override;
    void buttonUp(DWORD keys, int x, int y) override;
    void mouseMove(DWORD keys, int x, int y) override;

private:
    // Builds summaries for about one slice's time; true while more is left.
    bool buildSlice();
    void viewChanged();
    // Draws the whole chart into the back buffer.
    void render();
    void drawPanel(HDC dc, std::size_t index, int top, int height, const std::vector<struct TimeTick>& ticks);
    void showSpanStatus() const;
    void showCursorStatus(int x);
    void exportSpan();
    void copyPicture();
    void contextMenu(int x, int y);
    // The share of the plot's width at client x, 0 to 1.
    double shareAt(int x) const;
    // The client x of a time within the view: shareAt's inverse.
    int xOf(std::uint64_t ticks) const;
    int plotRight() const;

    std::vector<Channel> channels_;
    ChartView view_;
    HBITMAP buffer_ = nullptr;
    int bufferWidth_ = 0, bufferHeight_ = 0;
    bool stale_ = true;    // the buffer no longer shows the view
    int cursorX_ = -1;     // the cursor line, or -1
    int dragX_ = -1;       // where a drag began
    DWORD lastShown_ = 0;  // when the chart was last drawn while being read
};

// The "&View" command: asks for data files and opens a chart of them.
void runViewCommand(CMDIFrameWnd& frame);
