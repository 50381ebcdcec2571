#include "app/IniProfile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

namespace {

#ifdef _WIN32
constexpr std::string_view NewFileLineEnd = "\r\n";
#else
constexpr std::string_view NewFileLineEnd = "\n";
#endif

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// One line of the file: [begin, end) is its text without the line end.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;  // start of the following line
    bool terminated = false;
};

bool nextLine(std::string_view text, std::size_t& pos, Line& line) {
    if (pos >= text.size()) return false;
    const std::size_t nl = text.find('\n', pos);
    line.begin = pos;
    line.terminated = nl != std::string_view::npos;
    line.next = line.terminated ? nl + 1 : text.size();
    line.end = line.terminated ? nl : text.size();
    if (line.end > line.begin && text[line.end - 1] == '\r') --line.end;
    pos = line.next;
    return true;
}

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // entry value, trimmed; points into the text
};

ParsedLine parseLine(std::string_view content) {
    ParsedLine p;
    const std::string_view s = trim(content);
    if (s.empty()) {
        p.kind = LineKind::Blank;
    } else if (s.front() == ';') {
        p.kind = LineKind::Comment;
    } else if (s.front() == '[' && s.rfind(']') != std::string_view::npos) {
        p.kind = LineKind::Section;
        p.name = trim(s.substr(1, s.rfind(']') - 1));
    } else if (const std::size_t eq = s.find('='); eq != std::string_view::npos) {
        p.kind = LineKind::Entry;
        p.name = trim(s.substr(0, eq));
        std::string_view rest = s.substr(eq + 1);
        std::size_t lead = 0;
        while (lead < rest.size() && isBlank(rest[lead])) ++lead;
        p.value = trim(rest.substr(lead));
    }
    return p;
}

// Where a key is, or where it would go.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    std::string_view value;      // the key's value, when found
    std::size_t valueBegin = 0;  // the span a write replaces
    std::size_t valueEnd = 0;
    std::size_t insertAt = 0;       // after the section's last non-blank line
    bool insertNeedsBreak = false;  // that line has no line end yet
    bool endsBlank = false;         // the file's last line is blank
};

// Like the platform, only the first section of a name is searched.
Location locate(std::string_view text, std::string_view section, std::string_view key) {
    Location loc;
    bool inSection = false;
    std::size_t pos = 0;
    Line line;
    while (nextLine(text, pos, line)) {
        const ParsedLine p = parseLine(text.substr(line.begin, line.end - line.begin));
        loc.endsBlank = p.kind == LineKind::Blank;
        if (p.kind == LineKind::Section) {
            if (inSection) return loc;
            if (equalsNoCase(p.name, section)) {
                inSection = loc.sectionFound = true;
                loc.insertAt = line.next;
                loc.insertNeedsBreak = !line.terminated;
            }
            continue;
        }
        if (!inSection) continue;
        if (p.kind == LineKind::Entry && equalsNoCase(p.name, key)) {
            loc.keyFound = true;
            loc.value = p.value;
            loc.valueBegin = static_cast<std::size_t>(p.value.data() - text.data());
            loc.valueEnd = line.end;
            return loc;
        }
        if (p.kind != LineKind::Blank) {
            loc.insertAt = line.next;
            loc.insertNeedsBreak = !line.terminated;
        }
    }
    return loc;
}

std::optional<std::string> readWholeFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // istream::read turns the buffer's read errors (a directory, say) into
    // badbit; iterating the buffer directly would throw them.
    std::string text;
    char chunk[8192];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return std::nullopt;
    return text;
}

std::string_view lineEndOf(std::string_view text) {
    const std::size_t nl = text.find('\n');
    if (nl == std::string_view::npos) return NewFileLineEnd;
    return (nl > 0 && text[nl - 1] == '\r') ? "\r\n" : "\n";
}

bool hasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// Names that would read back as something else are refused rather than
// written as a line that can never be found again.
bool writableNames(std::string_view section, std::string_view key, std::string_view value) {
    return !section.empty() && !key.empty() && !hasLineBreak(section) && !hasLineBreak(key) &&
           !hasLineBreak(value) && section.find(']') == std::string_view::npos &&
           key.find('=') == std::string_view::npos && key.front() != '[' && key.front() != ';';
}

}  // namespace

std::uint32_t parseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == '0' && lowerAscii(text[i + 1]) == 'x') {
        base = 16;
        i += 2;
    }
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = lowerAscii(text[i]);
        std::uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        else
            break;
        if (digit >= base) break;
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
}

std::uint32_t IniProfile::getProfileInt(const char* section, const char* key, int defaultValue,
                                        const char* path) {
    const auto fallback = static_cast<std::uint32_t>(defaultValue);
    if (!section || !key || !path) return fallback;
    const std::optional<std::string> text = readText(path);
    if (!text) return fallback;
    const Location loc = locate(*text, trim(section), trim(key));
    const std::string_view value = unquote(loc.value);
    if (!loc.keyFound || value.empty()) return fallback;
    return parseProfileInt(value);
}

std::uint32_t IniProfile::getProfileString(const char* section, const char* key,
                                           const char* defaultValue, char* buffer,
                                           std::uint32_t size, const char* path) {
    if (!buffer || size == 0) return 0;
    // The platform drops trailing blanks of the default.
    std::string_view result = defaultValue ? std::string_view(defaultValue) : std::string_view();
    while (!result.empty() && result.back() == ' ') result.remove_suffix(1);

    std::optional<std::string> text;
    if (section && key && path) text = readText(path);
    if (text) {
        const Location loc = locate(*text, trim(section), trim(key));
        if (loc.keyFound) result = unquote(loc.value);
    }
    const std::size_t count = std::min<std::size_t>(result.size(), size - 1);
    std::copy_n(result.data(), count, buffer);
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

bool IniProfile::writeProfileString(const char* section, const char* key, const char* value,
                                    const char* path) {
    if (!section || !key || !value || !path) return false;
    const std::string_view sectionName = trim(section);
    const std::string_view keyName = trim(key);
    const std::string_view valueText = value;
    if (!writableNames(sectionName, keyName, valueText)) return false;

    std::string text;
    if (std::optional<std::string> existing = readText(path)) {
        text = std::move(*existing);
    } else if (!mayCreate(path)) {
        return false;
    }

    const std::string eol(lineEndOf(text));
    const std::string entry = std::string(keyName) + "=" + std::string(valueText) + eol;
    const Location loc = locate(text, sectionName, keyName);
    if (loc.keyFound) {
        if (std::string_view(text).substr(loc.valueBegin, loc.valueEnd - loc.valueBegin) ==
            valueText)
            return true;
        text.replace(loc.valueBegin, loc.valueEnd - loc.valueBegin, valueText);
    } else if (loc.sectionFound) {
        text.insert(loc.insertAt, (loc.insertNeedsBreak ? eol : std::string()) + entry);
    } else {
        if (!text.empty()) {
            if (text.back() != '\n') text += eol;
            if (!loc.endsBlank) text += eol;
        }
        text += '[';
        text += sectionName;
        text += ']';
        text += eol;
        text += entry;
    }

    return writeText(path, text);
}

std::optional<std::string> IniProfile::readText(const char* path) { return readWholeFile(path); }

bool IniProfile::mayCreate(const char* path) {
    std::error_code ec;
    return !std::filesystem::exists(path, ec) && !ec;
}

bool IniProfile::writeText(const char* path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}
