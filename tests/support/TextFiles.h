#pragma once
// Text files as the tests expect them on disk and read them back.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

// What a text-mode file holds for text written with "\n": CR LF on Windows.
inline std::string onDisk(std::string text) {
#if defined(_WIN32)
    for (std::size_t i = 0; (i = text.find('\n', i)) != std::string::npos; i += 2) text.insert(i, 1, '\r');
#endif
    return text;
}

// Every byte of the file; empty when there is none.
inline std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testsupport
