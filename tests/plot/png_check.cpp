// Reads a chart back with cairo: its size, and per panel how many pixels
// the trace colour took and how many stretches without trace lie between
// its first and last column (gaps left empty). The panel layout is the
// one harvex plot draws.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: png_check FILE.png WIDTH HEIGHT PANELS\n");
        return 2;
    }
    const int width = std::atoi(argv[2]), height = std::atoi(argv[3]), panels = std::atoi(argv[4]);
    cairo_surface_t* s = cairo_image_surface_create_from_png(argv[1]);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        std::printf("not a PNG: %s\n", cairo_status_to_string(cairo_surface_status(s)));
        cairo_surface_destroy(s);
        return 1;
    }
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    std::printf("size %dx%d\n", w, h);
    int rc = w == width && h == height && panels > 0 ? 0 : 1;
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    // Margins: 10 above, 46 for the time axis; each panel a title of 18.
    const double panel = (h - 10.0 - 46.0) / (panels > 0 ? panels : 1);
    for (int p = 0; rc == 0 && p < panels; ++p) {
        const int top = static_cast<int>(10 + p * panel + 18), bottom = static_cast<int>(10 + (p + 1) * panel - 8);
        long traced = 0;
        int holes = 0, firstColumn = -1, lastTraced = -1;
        for (int x = 90; x < w - 20; ++x) {
            bool column = false;
            for (int y = top; y < bottom; ++y) {
                const unsigned char* px = data + y * stride + x * 4;  // B, G, R, unused
                if (px[0] > px[2] + 60) {
                    ++traced;
                    column = true;
                }
            }
            if (!column) continue;
            if (firstColumn < 0) firstColumn = x;
            else if (x > lastTraced + 1) ++holes;
            lastTraced = x;
        }
        std::printf("panel %d: %ld trace pixels, %d holes\n", p + 1, traced, holes);
    }
    cairo_surface_destroy(s);
    return rc;
}
