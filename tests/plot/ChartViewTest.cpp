// Moving a chart's span: each row a move from a view, the span it must show.
#include <gtest/gtest.h>

#include <functional>

#include "plot/ChartView.h"

namespace {

struct Row {
    const char* what;
    std::function<void(ChartView&)> move;
    std::uint64_t start, end;
};

TEST(ChartView, MovesStayInsideTheRecording) {
    const Row rows[] = {
        {"zoom in holds the time under the pointer", [](ChartView& v) { v.zoom(0.5, 0.25); }, 22500, 72500},
        {"zoom out stops at the whole", [](ChartView& v) { v.zoom(0.5, 0); v.zoom(4, 1); }, 10000, 110000},
        {"zoom in stops at a second", [](ChartView& v) { v.zoom(1e-9, 0.5); }, 55000, 65000},
        {"pan stops at the end", [](ChartView& v) { v.zoom(0.5, 0); v.pan(0.75); v.pan(5); }, 60000, 110000},
        {"pan stops at the start", [](ChartView& v) { v.zoom(0.5, 1); v.pan(-0.5); v.pan(-5); }, 10000, 60000},
        {"home after moves", [](ChartView& v) { v.zoom(0.1, 0.3); v.pan(1); v.home(); }, 10000, 110000},
        {"a growing recording: the whole view grows", [](ChartView& v) { v.setWhole(10000, 210000); }, 10000, 210000},
        {"a zoomed view stays", [](ChartView& v) { v.zoom(0.5, 1); v.setWhole(10000, 210000); }, 60000, 110000},
        {"a shrinking recording: the view moves into it", [](ChartView& v) { v.zoom(0.5, 1); v.setWhole(10000, 40000); }, 10000, 40000},
    };
    for (const Row& row : rows) {
        ChartView v;
        v.setWhole(10000, 110000);
        row.move(v);
        EXPECT_EQ(v.start(), row.start) << row.what;
        EXPECT_EQ(v.end(), row.end) << row.what;
        EXPECT_EQ(v.timeAt(0.5), (row.start + row.end) / 2) << row.what;
    }
}

}  // namespace
