#include "export/ExportFileNames.h"

#include <cctype>

namespace {

std::size_t lastPartStart(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? 0 : slash + 1;
}

// Copies one part into a field of `width`: "?" becomes "0", "*" ends the
// copying, the rest is dropped past the width; pads with "0".
std::string templatePart(const std::string& part, std::size_t width) {
    std::string out;
    for (char c : part) {
        if (c == '*' || out.size() == width) break;
        out += c == '?' ? '0' : c;
    }
    out.append(width - out.size(), '0');
    return out;
}

}  // namespace

void makeNameTemplate(std::string& path) {
    std::size_t start = lastPartStart(path);
    std::string last = path.substr(start);
    std::size_t dot = last.find('.');
    std::string result = templatePart(last.substr(0, dot), 8);
    // Every further dot-separated part is written like an extension.
    while (dot != std::string::npos) {
        std::size_t nextDot = last.find('.', dot + 1);
        result += '.';
        result += templatePart(last.substr(dot + 1, nextDot == std::string::npos ? std::string::npos : nextDot - dot - 1), 3);
        dot = nextDot;
    }
    path.replace(start, std::string::npos, result);
}

bool nextFileName(std::string& path) {
    const std::size_t start = lastPartStart(path);
    std::string counted = path;
    for (std::size_t i = counted.size(); i-- > start;) {
        char& c = counted[i];
        if (!std::isdigit(static_cast<unsigned char>(c))) continue;
        if (c < '9') {
            ++c;
            path = counted;
            return true;
        }
        c = '0';
    }
    return false;
}
