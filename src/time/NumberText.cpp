#include "time/NumberText.h"

#include <charconv>
#include <climits>
#include <cstring>

namespace {

// The bounds NumberTextMax is sized for; larger requests are cut to them.
constexpr int MaxWidth = 99;
constexpr int MaxPrecision = 20;
constexpr int DefaultPrecision = 6;

char* format(char* out, double value, int width, int precision, std::chars_format form) {
    // As printf takes them: a negative width left-aligns, a negative
    // precision means none was given.
    bool leftAlign = width < 0;
    if (leftAlign) width = width == INT_MIN ? MaxWidth : -width;
    if (width > MaxWidth) width = MaxWidth;
    if (precision < 0) precision = DefaultPrecision;
    if (precision > MaxPrecision) precision = MaxPrecision;
    if (form == std::chars_format::general && precision == 0) precision = 1;

    auto [end, ec] = std::to_chars(out, out + NumberTextMax - 1, value, form, precision);
    if (ec != std::errc()) end = out;  // unreachable: the buffer fits every double

    auto length = static_cast<int>(end - out);
    if (length < width) {
        int pad = width - length;
        if (leftAlign) {
            std::memset(end, ' ', static_cast<std::size_t>(pad));
        } else {
            std::memmove(out + pad, out, static_cast<std::size_t>(length));
            std::memset(out, ' ', static_cast<std::size_t>(pad));
        }
        end = out + width;
    }
    *end = '\0';
    return end;
}

}  // namespace

char* formatFixed(char* out, double value, int width, int precision) {
    return format(out, value, width, precision, std::chars_format::fixed);
}

char* formatGeneral(char* out, double value, int width, int precision) {
    return format(out, value, width, precision, std::chars_format::general);
}
