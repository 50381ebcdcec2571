#include "export/TextEncoding.h"

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the codes it leaves undefined.
constexpr char16_t High[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                               0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                               0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

}  // namespace

void appendWindows1252AsUtf8(std::string_view text, std::string& out, bool replaceUndefined) {
    for (unsigned char c : text) {
        unsigned cp = c;
        if (c >= 0x80 && c < 0xA0 && (High[c - 0x80] || replaceUndefined)) cp = High[c - 0x80] ? High[c - 0x80] : 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
}

std::string windows1252ToUtf8(std::string_view text, bool replaceUndefined) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    appendWindows1252AsUtf8(text, out, replaceUndefined);
    return out;
}
