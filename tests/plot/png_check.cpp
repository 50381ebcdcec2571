// Reads a chart back: size, background, the marks of the time axis and, per
// panel, whether the trace colour is there and how many stretches without it
// lie within (gaps). Layout as harvex plot draws it: margins 90 left, 20
// right, 10 above, 46 for the time axis (marks 4 long); panel title 18, gap 8.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(argc == 3 ? argv[1] : "");
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        std::printf("usage: png_check FILE.png PANELS: %s\n", cairo_status_to_string(cairo_surface_status(s)));
        cairo_surface_destroy(s);
        return 1;
    }
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s), panels = std::atoi(argv[2]);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const auto px = [&](int x, int y) { return data + y * cairo_image_surface_get_stride(s) + x * 4; };  // B, G, R, unused
    int marks = 0;
    for (int x = 80, dark = 0; x < w - 10; dark = px(x++, h - 44)[1] < 128) marks += px(x, h - 44)[1] < 128 && !dark;
    std::printf("%dx%d, background %02x%02x%02x, %d time marks; panels:", w, h, px(1, 1)[2], px(1, 1)[1], px(1, 1)[0], marks);
    for (int p = 0; p < panels; ++p) {
        const double panel = (h - 56.0) / panels;
        const int top = static_cast<int>(10 + p * panel + 18), bottom = static_cast<int>(10 + (p + 1) * panel - 8);
        int holes = 0, first = -1, last = -1;
        for (int x = 90; x < w - 20; ++x) {
            bool traced = false;
            for (int y = top; y < bottom && !traced; ++y) traced = px(x, y)[0] > px(x, y)[2] + 60;
            if (!traced) continue;
            holes += first >= 0 && x > last + 1;
            first = first < 0 ? x : first;
            last = x;
        }
        std::printf("%s %s (%d holes)", p ? "," : "", first < 0 ? "empty" : "traced", holes);
    }
    std::printf("\n");
    cairo_surface_destroy(s);
    return 0;
}
