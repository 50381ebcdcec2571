#include "PlotCommand.h"

#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "../CommandSupport.h"
#include "../ConsoleNotice.h"
#include "../InputFiles.h"
#include "export/ReplacingFile.h"
#include "export/TextEncoding.h"
#include "plot/ChannelTrace.h"
#include "plot/TimeTicks.h"

namespace fs = std::filesystem;

namespace {

// Layout in pixels.
constexpr double Left = 90, Right = 20, Top = 10, Bottom = 46, TitleRoom = 18, PanelGap = 8;
constexpr int MinPanel = 60, MaxSide = 10000, MinSide = 200, MaxChannels = 15;

int usage(const std::string& text) {
    std::fprintf(stderr, "harvex plot: %s\n", text.c_str());
    return 2;
}

// cairo writes the chart through this into the file that replaces the target.
cairo_status_t writeTo(void* file, const unsigned char* data, unsigned int length) {
    return std::fwrite(data, 1, length, static_cast<std::FILE*>(file)) == length ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
}

void text(cairo_t* cr, double x, double y, const std::string& s, double alignX) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    cairo_move_to(cr, x - alignX * e.x_advance, y);
    cairo_show_text(cr, s.c_str());
}

void drawPanel(cairo_t* cr, const ChannelTrace& trace, double y0, double height, double width, const std::vector<TimeTick>& ticks,
               std::uint64_t start, std::uint64_t end) {
    const double plotTop = y0 + TitleRoom, plotBottom = y0 + height - PanelGap;
    const double plotLeft = Left, plotRight = width - Right;
    float low = 0, high = 0;
    bool any = false;
    trace.shownRange(low, high, any);
    auto yOf = [&](float v) { return plotBottom - (static_cast<double>(v) - low) / (static_cast<double>(high) - low) * (plotBottom - plotTop); };

    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_font_size(cr, 12);
    text(cr, plotLeft, y0 + 13, windows1252ToUtf8(trace.title) + "   scale " + number(trace.scaleLow) + " .. " + number(trace.scaleHigh), 0);
    cairo_set_font_size(cr, 10);
    for (float v : {low, (low + high) / 2, high}) text(cr, plotLeft - 6, yOf(v) + 3.5, number(v), 1);

    // Grid at the time marks, then the frame.
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    for (const TimeTick& t : ticks) {
        const double x = std::floor(plotLeft + static_cast<double>(t.ticks - start) / static_cast<double>(end - start) * (plotRight - plotLeft)) + 0.5;
        cairo_move_to(cr, x, plotTop);
        cairo_line_to(cr, x, plotBottom);
    }
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_rectangle(cr, plotLeft - 0.5, plotTop - 0.5, plotRight - plotLeft + 1, plotBottom - plotTop + 1);
    cairo_stroke(cr);

    // One upright stroke per column, joined to the previous one unless the
    // recording stopped between them.
    cairo_set_source_rgb(cr, 0.12, 0.31, 0.60);
    cairo_set_line_width(cr, 1.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const auto& columns = trace.envelope.columns();
    bool drawn = false;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const EnvelopeColumn& c = columns[i];
        if (!c.filled) continue;
        const double x = plotLeft + static_cast<double>(i) + 0.5;
        if (drawn && c.joined) cairo_line_to(cr, x, yOf(c.first));
        else cairo_move_to(cr, x, yOf(c.first));
        cairo_line_to(cr, x, yOf(c.high));
        cairo_line_to(cr, x, yOf(c.low));
        cairo_line_to(cr, x, yOf(c.last));
        drawn = true;
    }
    cairo_stroke(cr);
}

void drawTimeAxis(cairo_t* cr, const std::vector<TimeTick>& ticks, std::uint64_t start, std::uint64_t end, double width, double y) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_font_size(cr, 10);
    cairo_set_line_width(cr, 1);
    const double plotRight = width - Right;
    for (const TimeTick& t : ticks) {
        const double x = std::floor(Left + static_cast<double>(t.ticks - start) / static_cast<double>(end - start) * (plotRight - Left)) + 0.5;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x, y + 4);
        cairo_stroke(cr);
        text(cr, x, y + 16, t.text, 0.5);
    }
    text(cr, Left, y + 34, "recorder local time (the files hold no time zone)", 0);
}

}  // namespace

int runPlot(const PlotOptions& o, ConsoleNotice& notice) {
    const std::string ext = fs::path(o.output).extension().string();
    std::string lower;
    for (char c : ext) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower != ".png" && lower != ".svg") return usage("-o names a .png or .svg file, not \"" + o.output + "\"");
    if (o.width < MinSide || o.width > MaxSide || (o.height && (o.height < MinSide || o.height > MaxSide)))
        return usage("--width and --height take " + std::to_string(MinSide) + " to " + std::to_string(MaxSide) + " pixels");
    std::optional<CTime> start, end;
    if (std::string problem = parseSpanOptions(o.start, o.end, start, end); !problem.empty()) return usage(problem);
    if (start && end && !(*start < *end)) return usage("--end is not after --start");

    const std::vector<std::string> files = expandInputs(o.files, RecorderKind::Data, false, notice);
    if (files.size() > static_cast<std::size_t>(MaxChannels))
        return usage("at most " + std::to_string(MaxChannels) + " channels go into one chart (" + std::to_string(files.size()) + " given)");
    std::vector<std::unique_ptr<DataFile>> channels;
    for (const std::string& path : files)
        if (std::unique_ptr<DataFile> df = openDataFile(path, notice)) channels.push_back(std::move(df));
    notice.beginFile("");
    if (channels.empty()) {
        std::fprintf(stderr, "harvex plot: no data file to draw\n");
        return 1;
    }
    for (const std::string& input : files) {
        std::error_code ec;
        if (fs::exists(o.output, ec) && fs::equivalent(o.output, input, ec)) {
            std::fprintf(stderr, "harvex plot: %s is one of the recorder files; not written\n", o.output.c_str());
            return 3;
        }
    }
    std::error_code ec;
    if (!o.force && fs::exists(o.output, ec)) {
        std::fprintf(stderr, "harvex plot: %s exists already; --force replaces it\n", o.output.c_str());
        return 3;
    }

    // The span of all the files, unless chosen.
    std::vector<std::unique_ptr<ChannelSummary>> summaries;
    std::uint64_t first = UINT64_MAX, last = 0;
    for (auto& df : channels) {
        summaries.push_back(std::make_unique<ChannelSummary>(*df));
        summaries.back()->build();
        std::uint64_t begin = 0, end = 0;
        if (!summaries.back()->span(begin, end)) continue;
        first = std::min(first, begin);
        last = std::max(last, end);
    }
    const std::uint64_t from = start ? start->ticks() : first;
    std::uint64_t to = end ? end->ticks() : last;
    // As the export does: an empty chart would look like a recording of nothing.
    if (from > last || to < first) {
        std::fprintf(stderr, "harvex plot: no samples in the chosen span; nothing drawn\n");
        return 1;
    }
    if (to <= from) to = from + TicksPerSecond;

    const int panels = static_cast<int>(channels.size());
    const int width = o.width;
    const int height = o.height ? o.height : std::min(MaxSide, static_cast<int>(Top + Bottom) + panels * 170);
    const double panelHeight = (height - Top - Bottom) / panels;
    if (panelHeight < MinPanel) return usage("--height leaves less than " + std::to_string(MinPanel) + " pixels a channel");
    const auto columns = static_cast<std::uint32_t>(width - Left - Right);
    const std::vector<TimeTick> ticks = timeTicks(from, to, std::max(2u, columns / 110));

    ReplacingFile output;
    std::FILE* out = output.open(o.output, "wb");
    if (!out) {
        std::fprintf(stderr, "harvex plot: %s could not be written: it cannot be created\n", o.output.c_str());
        return 3;
    }
    Surface surface(lower == ".svg" ? cairo_svg_surface_create_for_stream(writeTo, out, width, height)
                                    : cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (lower == ".svg") cairo_svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_PX);
    Context cr(cairo_create(surface.get()));
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    cairo_select_font_face(cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    for (int i = 0; i < panels; ++i) {
        if (!o.quiet && stderrIsTerminal())
            notice.progress("drawing: " + std::to_string(i + 1) + " of " + std::to_string(panels) + " channels");
        notice.beginFile(channels[static_cast<std::size_t>(i)]->stream()->name());
        const ChannelTrace trace = traceChannel(*summaries[static_cast<std::size_t>(i)], from, to, columns);
        drawPanel(cr.get(), trace, Top + i * panelHeight, panelHeight, width, ticks, from, to);
    }
    notice.endProgress();
    notice.beginFile("");
    drawTimeAxis(cr.get(), ticks, from, to, width, height - Bottom);
    cr.reset();
    cairo_status_t status = cairo_surface_status(surface.get());
    if (status == CAIRO_STATUS_SUCCESS && lower == ".png") status = cairo_surface_write_to_png_stream(surface.get(), writeTo, out);
    cairo_surface_finish(surface.get());
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface.get());
    surface.reset();
    if (status == CAIRO_STATUS_SUCCESS && !output.commit()) status = CAIRO_STATUS_WRITE_ERROR;
    // The font caches go too, so a leak checker sees a clean exit.
    cairo_debug_reset_static_data();
    FcFini();
    for (auto& df : channels) {
        notice.beginFile(df->stream()->name());
        df->close();
    }
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "harvex plot: %s could not be written: %s\n", o.output.c_str(), cairo_status_to_string(status));
        return 3;
    }
    return notice.totalErrors() ? 1 : 0;
}
