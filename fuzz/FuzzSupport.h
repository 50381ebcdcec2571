#pragma once
// Shared pieces of the fuzz targets: invariant checks that turn a broken
// rule into a finding, and a reader of the target's input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace fuzzsupport {

// libFuzzer records the input of any abort as a finding.
[[noreturn]] inline void fail(const char* rule, const char* file, int line, const std::string& detail = {}) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s%s%s\n", file, line, rule, detail.empty() ? "" : ": ",
                 detail.c_str());
    std::abort();
}

// Takes bytes from the front of the input; past its end every read is 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t u8() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(u8() << 8 | u8()); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(u16()) << 16 | u16(); }
    std::uint64_t u64() { return static_cast<std::uint64_t>(u32()) << 32 | u32(); }
    // Up to max bytes, ending early at a zero byte (which is used up).
    std::string text(std::size_t max) {
        std::string s;
        while (s.size() < max && pos_ < size_) {
            char c = static_cast<char>(data_[pos_++]);
            if (c == '\0') break;
            s += c;
        }
        return s;
    }
    std::size_t left() const { return size_ - pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A heap copy of exactly the text and its terminator, so a read past the
// terminator is an out-of-bounds access the sanitizer reports.
class ExactText {
public:
    explicit ExactText(const std::string& s) : bytes_(s.size() + 1) {
        std::memcpy(bytes_.data(), s.c_str(), s.size() + 1);
    }
    const char* get() const { return bytes_.data(); }

private:
    std::vector<char> bytes_;
};

}  // namespace fuzzsupport

#define FUZZ_CHECK(cond)                                                     \
    do {                                                                     \
        if (!(cond)) ::fuzzsupport::fail(#cond, __FILE__, __LINE__);         \
    } while (0)

#define FUZZ_CHECK_MSG(cond, detail)                                         \
    do {                                                                     \
        if (!(cond)) ::fuzzsupport::fail(#cond, __FILE__, __LINE__, detail); \
    } while (0)
