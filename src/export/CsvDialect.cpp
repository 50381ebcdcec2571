#include "export/CsvDialect.h"

#include <algorithm>
#include <cstdio>

#include "export/TextEncoding.h"

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// A number as the fixed-width formats write it: sign, digits, point, digits.
bool isDecimal(std::string_view s) {
    s = trimmed(s);
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
    bool digit = false, point = false;
    for (char c : s) {
        if (c >= '0' && c <= '9') digit = true;
        else if (c == '.' && !point) point = true;
        else return false;
    }
    return digit;
}

// "MM/DD/YYYY", optionally followed by " HH:MM:SS" and ".ss", as
// YYYY-MM-DD[THH:MM:SS[.ss]]; false when the text is not such a time.
bool isoTime(std::string_view text, std::string& out) {
    const std::string s(trimmed(text));
    int mo, d, y, h, mi, sec, used = 0;
    char iso[48];
    if (std::sscanf(s.c_str(), "%2d/%2d/%4d%n", &mo, &d, &y, &used) != 3) return false;
    if (static_cast<std::size_t>(used) == s.size()) {
        std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", y, mo, d);
        out += iso;
        return true;
    }
    int more = 0;
    if (std::sscanf(s.c_str() + used, " %2d:%2d:%2d%n", &h, &mi, &sec, &more) != 3) return false;
    std::snprintf(iso, sizeof iso, "%04d-%02d-%02dT%02d:%02d:%02d", y, mo, d, h, mi, sec);
    out += iso;
    out += s.substr(static_cast<std::size_t>(used + more));
    return true;
}

// Elapsed "D:HH:MM:SS.ss" as seconds with two decimals.
bool plainSeconds(std::string_view text, char point, std::string& out) {
    const std::string s(trimmed(text));
    unsigned long long days;
    unsigned h, mi, sec, hundredths;
    int used = 0;
    if (std::sscanf(s.c_str(), "%llu:%2u:%2u:%2u.%2u%n", &days, &h, &mi, &sec, &hundredths, &used) != 5 ||
        static_cast<std::size_t>(used) != s.size() || days > 1000000000ULL)
        return false;
    char text2[48];
    std::snprintf(text2, sizeof text2, "%llu%c%02u", days * 86400ULL + h * 3600ULL + mi * 60ULL + sec, point, hundredths);
    out += text2;
    return true;
}

}  // namespace

bool CsvDialect::isDefault() const {
    return delimiter == ',' && !decimalComma && !trim && encoding == Encoding::Windows1252 && !byteOrderMark &&
           lineEnd == LineEnd::Platform && time == TimeStyle::AsExported && timeTitle.empty();
}

std::string CsvDialect::problem() const {
    if (delimiter == '"' || delimiter == '\r' || delimiter == '\n' || delimiter == '\0')
        return "the delimiter cannot be a quote or a line end";
    if (decimalComma && delimiter == ',')
        return "--decimal-comma needs a delimiter other than the comma (such as --delimiter ';')";
    if (byteOrderMark && encoding != Encoding::Utf8) return "--bom marks UTF-8 text; it does not go with --encoding cp1252";
    return {};
}

CsvRewriter::CsvRewriter(const CsvDialect& dialect) : d_(dialect) {}

void CsvRewriter::startFile(std::string& out) {
    rows_ = 0;
    if (d_.byteOrderMark) out += ByteOrderMark;
}

void CsvRewriter::header(const std::vector<std::string>& titles, std::string& out) {
    scratch_.clear();
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (i) scratch_ += d_.delimiter;
        quoted(i == 0 && !d_.timeTitle.empty() ? std::string_view(d_.timeTitle) : std::string_view(titles[i]), scratch_);
    }
    encode(scratch_, out);
    endLine(out);
}

void CsvRewriter::rows(const char* text, std::size_t size, std::string& out) {
    std::string_view rest(text, size);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        line(rest.substr(0, end), 0, out);
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
}

void CsvRewriter::line(std::string_view text, std::size_t fields, std::string& out) {
    scratch_.clear();
    std::size_t index = 0;
    for (;;) {
        std::string_view f;
        bool last = fields != 0 && index + 1 == fields;
        std::size_t end = std::string_view::npos;
        if (!last) {
            // Quoted fields of the export hold no quote but a label's;
            // those come last, so a quote and a comma close a field here.
            end = !text.empty() && text.front() == '"' ? text.find("\",") : text.find(',');
            if (end != std::string_view::npos && text.front() == '"') ++end;
        }
        f = text.substr(0, end);
        field(f, index == 0, scratch_);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
        scratch_ += d_.delimiter;
        ++index;
    }
    encode(scratch_, out);
    endLine(out);
    most_ = std::max(most_, ++rows_);
}

void CsvRewriter::field(std::string_view f, bool first, std::string& out) {
    const bool isQuoted = f.size() >= 2 && f.front() == '"' && f.back() == '"';
    std::string_view inner = isQuoted ? f.substr(1, f.size() - 2) : f;
    if (first && d_.time == CsvDialect::TimeStyle::Iso && isoTime(inner, out)) return;
    if (first && d_.time == CsvDialect::TimeStyle::Seconds && plainSeconds(inner, d_.decimalComma ? ',' : '.', out)) return;
    if (isQuoted) {
        quoted(inner, out);
        return;
    }
    if (d_.trim) f = trimmed(f);
    const std::size_t start = out.size();
    out += f;
    if (d_.decimalComma && isDecimal(f)) std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '.', ',');
    // A delimiter such as a space or a colon may occur in a plain field.
    if (out.find(d_.delimiter, start) != std::string::npos || out.find('"', start) != std::string::npos) {
        const std::string plain = out.substr(start);
        out.resize(start);
        quoted(plain, out);
    }
}

void CsvRewriter::quoted(std::string_view f, std::string& out) {
    out += '"';
    for (char c : f) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void CsvRewriter::endLine(std::string& out) {
    bool crlf = d_.lineEnd == CsvDialect::LineEnd::CrLf;
#if defined(_WIN32)
    crlf = crlf || d_.lineEnd == CsvDialect::LineEnd::Platform;
#endif
    out += crlf ? "\r\n" : "\n";
}

void CsvRewriter::encode(std::string_view cp1252, std::string& out) {
    if (d_.encoding == CsvDialect::Encoding::Utf8) appendWindows1252AsUtf8(cp1252, out);
    else out += cp1252;
}
