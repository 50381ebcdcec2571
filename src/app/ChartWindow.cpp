#include "app/ChartWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ResourceIds.h"
#include "app/GuiExportCommand.h"
#include "forms/FileForms.h"
#include "notice/UserNotice.h"
#include "plot/ChannelTrace.h"
#include "plot/TimeTicks.h"
#include "time/TimeText.h"
#include "ui/CApp.h"

namespace {

// Layout in pixels.
constexpr int Left = 80, Right = 16, Top = 4, AxisRoom = 22, TitleRoom = 16, PanelGap = 6;
constexpr UINT_PTR BuildTimer = 1;
// Samples summarised per slice: some tens of milliseconds, so input stays
// quick; the chart and the progress are shown again a few times a second.
constexpr std::uint64_t SliceSamples = 4u << 20;
constexpr DWORD ShowEveryMs = 250;
constexpr double WheelStep = 2, KeyPan = 0.25;
constexpr int RecorderFilterIndex = 1;
constexpr std::size_t MaxChannels = 15;

const COLORREF Ink = RGB(0, 0, 0), Grid = RGB(218, 218, 218), Frame = RGB(77, 77, 77), Trace = RGB(31, 79, 153),
               CursorInk = RGB(200, 40, 40);

// GDI objects released when the scope ends.
struct Pen {
    HPEN handle;
    Pen(COLORREF colour, int width = 1) : handle(CreatePen(PS_SOLID, width, colour)) {}
    ~Pen() { DeleteObject(handle); }
};

struct Selected {
    HDC dc;
    HGDIOBJ previous;
    Selected(HDC d, HGDIOBJ object) : dc(d), previous(SelectObject(d, object)) {}
    ~Selected() { SelectObject(dc, previous); }
};

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

void textAt(HDC dc, int x, int y, const std::string& s, UINT align) {
    SetTextAlign(dc, align);
    TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
}

std::string timeText(std::uint64_t ticks) {
    char text[TimeTextMax];
    formatTime(CTime::fromTicks(ticks), text, ShowTime | ShowDate | UseDisplayFlags);
    return text;
}

}  // namespace

ChartWindow::ChartWindow(CMDIFrameWnd& frame, std::vector<Channel> channels)
    : CWnd(&frame, 0, 0, 0, 0, 0, WindowFlags::MdiChild | WindowFlags::DeferCreate | WindowFlags::NoErase),
      channels_(std::move(channels)) {
    std::string title;
    for (const Channel& c : channels_) title.append(title.empty() ? "" : ", ").append(c.file->header().text);
    for (Channel& c : channels_) c.summary = std::make_unique<ChannelSummary>(*c.file);
    constexpr DWORD style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    HWND h = CreateMDIWindowA(WindowClassName, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.mdiClient(), App.instance, 0);
    cursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // the cross
    if (!h) {
        parent_ = nullptr;  // not in the frame's list: the caller deletes it
        return;
    }
    attach(h, style);
    // A first slice at once, so the window opens with something in it.
    if (buildSlice()) SetTimer(hwnd_, BuildTimer, 1, nullptr);
}

ChartWindow::~ChartWindow() {
    if (hwnd_) KillTimer(hwnd_, BuildTimer);
    if (buffer_) DeleteObject(buffer_);
    // A chart closed before its files were read through says nothing of
    // what the rest of them holds.
    UserNotice* notice = setUserNotice(nullptr);
    channels_.clear();
    setUserNotice(notice);
    App.setStatus("");
}

bool ChartWindow::buildSlice() {
    std::uint64_t first = UINT64_MAX, last = 0;
    double done = 0;
    bool more = false;
    std::uint64_t budget = SliceSamples;
    for (Channel& c : channels_) {
        NoticeSource source(c.path.c_str());
        if (!c.summary->complete() && budget) {
            c.summary->build(budget);
            budget = 0;
        }
        if (c.summary->complete() && !c.readThrough) {
            c.readThrough = true;
            c.file->reportHeldError();  // what ended its chain, as the export shows it
        }
        more = more || !c.summary->complete();
        done += c.summary->progress();
        std::uint64_t begin = 0, end = 0;
        if (c.summary->span(begin, end)) first = std::min(first, begin), last = std::max(last, end);
    }
    if (first <= last) view_.setWhole(first, last);
    const DWORD now = GetTickCount();
    if (more && now - lastShown_ < ShowEveryMs) return true;
    lastShown_ = now;
    if (more) {
        App.setStatus("Reading: " + std::to_string(static_cast<int>(100 * done / static_cast<double>(channels_.size()))) +
                      " %");
    } else {
        showSpanStatus();
    }
    viewChanged();
    return more;
}

bool ChartWindow::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
        if (wp != BuildTimer) break;
        // A message box about a damaged file must not run another slice.
        KillTimer(hwnd_, BuildTimer);
        if (buildSlice() && hwnd_) SetTimer(hwnd_, BuildTimer, 1, nullptr);
        return false;
    case WM_SIZE:
        stale_ = true;
        CWnd::handleMessage(msg, wp, lp);
        return true;  // the MDI child's default keeps maximised children right
    case WM_MOUSEWHEEL: {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ScreenToClient(hwnd_, &p);
        // Fine-stepping wheels send parts of a notch: each zooms its part.
        const double notches = static_cast<double>(GET_WHEEL_DELTA_WPARAM(wp)) / WHEEL_DELTA;
        view_.zoom(std::pow(WheelStep, -notches), shareAt(p.x));
        viewChanged();
        showSpanStatus();
        return false;
    }
    case WM_CONTEXTMENU: {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (p.x == -1 && p.y == -1) ClientToScreen(hwnd_, &(p = POINT{Left, Top}));
        contextMenu(p.x, p.y);
        return false;
    }
    case WM_MOUSELEAVE:
        cursorX_ = -1;
        InvalidateRect(hwnd_, nullptr, FALSE);
        return false;
    default:
        break;
    }
    return CWnd::handleMessage(msg, wp, lp);
}

bool ChartWindow::command(int, int id, HWND) {
    switch (id) {
    case CMD_CHART_EXPORT: exportSpan(); return false;
    case CMD_CHART_COPY: copyPicture(); return false;
    case CMD_CHART_WHOLE:
        view_.home();
        viewChanged();
        showSpanStatus();
        return false;
    default: return true;
    }
}

int ChartWindow::keyDown(int key) {
    switch (key) {
    case VK_HOME: view_.home(); break;
    case VK_LEFT: view_.pan(-KeyPan); break;
    case VK_RIGHT: view_.pan(KeyPan); break;
    default: return 0;
    }
    viewChanged();
    showSpanStatus();
    return 1;
}

int ChartWindow::character(int code) {
    if (code == '+' || code == '=') view_.zoom(1 / WheelStep, 0.5);
    else if (code == '-') view_.zoom(WheelStep, 0.5);
    else return 0;
    viewChanged();
    showSpanStatus();
    return 1;
}

void ChartWindow::buttonDown(DWORD keys, int x, int) {
    if (!(keys & MK_LBUTTON)) return;
    SetFocus(hwnd_);
    dragX_ = x;
    SetCapture(hwnd_);
}

void ChartWindow::buttonUp(DWORD, int, int) {
    if (dragX_ < 0) return;
    dragX_ = -1;
    ReleaseCapture();
    showSpanStatus();
}

void ChartWindow::mouseMove(DWORD keys, int x, int) {
    if (dragX_ >= 0 && (keys & MK_LBUTTON)) {
        view_.pan(static_cast<double>(dragX_ - x) / std::max(1, plotRight() - Left));
        dragX_ = x;
        viewChanged();
    }
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
    TrackMouseEvent(&track);
    cursorX_ = x >= Left && x <= plotRight() ? x : -1;
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (cursorX_ >= 0) showCursorStatus(x);
}

void ChartWindow::viewChanged() {
    stale_ = true;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

double ChartWindow::shareAt(int x) const {
    return std::clamp(static_cast<double>(x - Left) / std::max(1, plotRight() - Left), 0.0, 1.0);
}

int ChartWindow::xOf(std::uint64_t ticks) const {
    const double share = static_cast<double>(ticks - view_.start()) / static_cast<double>(view_.end() - view_.start());
    return Left + static_cast<int>(share * (plotRight() - Left));
}

int ChartWindow::plotRight() const {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    return std::max<int>(Left + 1, rc.right - Right);
}

void ChartWindow::paint(HDC dc, int, int, int, int, bool) {
    SetMapMode(dc, MM_TEXT);
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    if (rc.right != bufferWidth_ || rc.bottom != bufferHeight_) stale_ = true;
    if (stale_) render();
    HDC memory = CreateCompatibleDC(dc);
    {
        Selected picture(memory, buffer_);
        BitBlt(dc, 0, 0, bufferWidth_, bufferHeight_, memory, 0, 0, SRCCOPY);
    }
    DeleteDC(memory);
    if (cursorX_ >= 0) {
        Pen pen(CursorInk);
        Selected use(dc, pen.handle);
        MoveToEx(dc, cursorX_, Top, nullptr);
        LineTo(dc, cursorX_, rc.bottom - AxisRoom);
    }
}

void ChartWindow::render() {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    HDC screen = GetDC(hwnd_);
    if (!buffer_ || rc.right != bufferWidth_ || rc.bottom != bufferHeight_) {
        if (buffer_) DeleteObject(buffer_);
        bufferWidth_ = std::max<int>(1, rc.right);
        bufferHeight_ = std::max<int>(1, rc.bottom);
        buffer_ = CreateCompatibleBitmap(screen, bufferWidth_, bufferHeight_);
    }
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(hwnd_, screen);
    {
        Selected picture(dc, buffer_);
        Selected font(dc, GetStockObject(DEFAULT_GUI_FONT));
        const RECT all{0, 0, bufferWidth_, bufferHeight_};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, Ink);
        const int columns = plotRight() - Left;
        const std::vector<TimeTick> ticks =
            timeTicks(view_.start(), view_.end(), static_cast<unsigned>(std::max(2, columns / 110)));
        const int panels = static_cast<int>(channels_.size());
        const int height = (bufferHeight_ - Top - AxisRoom) / std::max(1, panels);
        for (int i = 0; i < panels; ++i) drawPanel(dc, static_cast<std::size_t>(i), Top + i * height, height, ticks);
        // The time axis under the last panel.
        const int y = bufferHeight_ - AxisRoom;
        Pen pen(Ink);
        Selected use(dc, pen.handle);
        for (const TimeTick& t : ticks) {
            const int x = xOf(t.ticks);
            MoveToEx(dc, x, y, nullptr);
            LineTo(dc, x, y + 4);
            textAt(dc, x, y + 5, t.text, TA_CENTER | TA_TOP);
        }
    }
    DeleteDC(dc);
    stale_ = false;
}

void ChartWindow::drawPanel(HDC dc, std::size_t index, int top, int height, const std::vector<TimeTick>& ticks) {
    Channel& c = channels_[index];
    const int plotTop = top + TitleRoom, plotBottom = top + height - PanelGap, right = plotRight();
    const int columns = right - Left;
    if (plotBottom - plotTop < 4 || columns < 2) return;
    NoticeSource source(c.path.c_str());
    const ChannelTrace trace = traceChannel(*c.summary, view_.start(), view_.end(), static_cast<std::uint32_t>(columns));
    float low = 0, high = 0;
    bool any = false;
    trace.shownRange(low, high, any);
    const auto yOf = [&](float v) {
        return plotBottom - static_cast<int>(std::lround((static_cast<double>(v) - low) / (static_cast<double>(high) - low) *
                                                         (plotBottom - plotTop)));
    };

    textAt(dc, Left, top + 1, trace.title + "   scale " + number(trace.scaleLow) + " .. " + number(trace.scaleHigh),
           TA_LEFT | TA_TOP);
    for (float v : {low, (low + high) / 2, high}) textAt(dc, Left - 6, yOf(v) - 6, number(v), TA_RIGHT | TA_TOP);
    {
        Pen pen(Grid);
        Selected use(dc, pen.handle);
        for (const TimeTick& t : ticks) {
            const int x = xOf(t.ticks);
            MoveToEx(dc, x, plotTop, nullptr);
            LineTo(dc, x, plotBottom);
        }
    }
    {
        Pen pen(Frame);
        Selected use(dc, pen.handle);
        Selected hollow(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, Left - 1, plotTop - 1, right + 1, plotBottom + 2);
    }
    if (!any && c.summary->complete()) {
        std::uint64_t begin = 0, end = 0;
        const char* why = c.summary->span(begin, end) ? "No samples in this span." : "No samples in this file.";
        textAt(dc, (Left + right) / 2, (plotTop + plotBottom) / 2 - 6, why, TA_CENTER | TA_TOP);
        return;
    }
    // Each column an upright stroke from its highest to its lowest sample,
    // joined to the one before unless the recording stopped between them.
    Pen pen(Trace);
    Selected use(dc, pen.handle);
    const auto& cols = trace.envelope.columns();
    int previousX = -1, previousY = 0;
    for (std::size_t i = 0; i < cols.size(); ++i) {
        const EnvelopeColumn& col = cols[i];
        if (!col.filled) continue;
        const int x = Left + static_cast<int>(i);
        if (col.joined && previousX >= 0) {
            MoveToEx(dc, previousX, previousY, nullptr);
            LineTo(dc, x, yOf(col.first));
        }
        MoveToEx(dc, x, yOf(col.high), nullptr);
        LineTo(dc, x, yOf(col.low) + 1);  // the last pixel too: a lone sample is a dot
        previousX = x;
        previousY = yOf(col.last);
    }
}

void ChartWindow::showSpanStatus() const {
    App.setStatus(timeText(view_.start()) + " to " + timeText(view_.end()));
}

void ChartWindow::showCursorStatus(int x) {
    const std::uint64_t t = view_.timeAt(shareAt(x));
    std::string text = timeText(t);
    for (Channel& c : channels_) {
        const ScalesHeader& scale = c.file->blocks.fileScale;
        float value = 0;
        char shown[48] = "-";
        if (c.summary->valueAt(t, value) && std::isfinite(value))
            std::snprintf(shown, sizeof shown, "%.*f", std::min<int>(scale.units.decimals, 4), static_cast<double>(value));
        text.append("    ").append(c.file->header().text).append(": ").append(shown);
        if (std::string(shown) != "-") text.append(" ").append(scale.label);
    }
    App.setStatus(text);
}

void ChartWindow::exportSpan() {
    // Whole seconds, as the form shows them, holding every visible sample.
    const std::uint64_t start = view_.start() / TicksPerSecond * TicksPerSecond;
    const std::uint64_t end = (view_.end() + TicksPerSecond - 1) / TicksPerSecond * TicksPerSecond;
    std::vector<std::string> paths;
    // A file with no samples was named when the chart opened it.
    for (const Channel& c : channels_)
        if (c.file->hasBlocks()) paths.push_back(c.path);
    exportSpanOf(paths, CTime::fromTicks(start), CTime::fromTicks(end));
}

void ChartWindow::copyPicture() {
    if (stale_) render();
    HDC screen = GetDC(hwnd_);
    HBITMAP copy = CreateCompatibleBitmap(screen, bufferWidth_, bufferHeight_);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    ReleaseDC(hwnd_, screen);
    {
        Selected source(from, buffer_), target(to, copy);
        BitBlt(to, 0, 0, bufferWidth_, bufferHeight_, from, 0, 0, SRCCOPY);
    }
    DeleteDC(from);
    DeleteDC(to);
    if (OpenClipboard(hwnd_)) {
        EmptyClipboard();
        if (SetClipboardData(CF_BITMAP, copy)) copy = nullptr;  // the clipboard owns it now
        CloseClipboard();
    }
    if (copy) {
        DeleteObject(copy);
        showError("The chart could not be copied to the clipboard.");
    } else {
        App.setStatus("Chart copied to the clipboard.");
    }
}

void ChartWindow::contextMenu(int x, int y) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, CMD_CHART_EXPORT, "&Export this span\tCtrl+E");
    AppendMenuA(menu, MF_STRING, CMD_CHART_COPY, "&Copy\tCtrl+C");
    AppendMenuA(menu, MF_STRING | (view_.showsWhole() ? MF_GRAYED : 0), CMD_CHART_WHOLE, "&Whole span\tHome");
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, hwnd_, nullptr);
    DestroyMenu(menu);
}

void runViewCommand(CMDIFrameWnd& frame) {
    PendingNames pending;
    std::vector<ChartWindow::Channel> channels;
    std::vector<std::string> leftOut;
    do {
        std::unique_ptr<File> file = openRecorderFile(ModeMultiple, recorderFileFilters, RecorderFilterIndex, &pending);
        if (!file) break;
        const std::string path = file->stream->name();
        NoticeSource source(path.c_str());
        if (!identifyFile(*file)) continue;
        if (!file->header.isDataFile()) {
            showError(path + " is not a data file: only data files are charted.");
            continue;
        }
        if (channels.size() == MaxChannels) {
            leftOut.push_back(path);
            continue;
        }
        // A file that opened with no block is still charted: its panel says so.
        channels.push_back({path, openDataFile(std::move(file)), nullptr});
    } while (!pending.empty());
    if (channels.empty() || (!leftOut.empty() && !goOnWithout(leftOut, "chart", "View"))) return;
    auto* window = new ChartWindow(frame, std::move(channels));
    if (!window->handle()) delete window;  // else the frame's list owns it
}
