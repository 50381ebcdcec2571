#include "storage/MemoryIO.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int Block = 512;
}

MemoryIO::MemoryIO(std::vector<std::uint8_t> bytes, std::string label)
    : bytes_(std::move(bytes)), label_(std::move(label)) {
    readBlockSize = writeBlockSize = Block;
}

int MemoryIO::open(int mode) {
    openCommon(mode);
    cursor_ = 0;
    return 1;
}

void MemoryIO::close() {
    if (modeFlags & ModeWrite) flush(index);
    closeCommon();
}

void MemoryIO::fill() {
    ++fills_;
    if (cursor_ >= bytes_.size()) {
        setCode(mainError, ErrorCode::EndOfFile);
        return;
    }
    std::size_t got = std::min<std::size_t>(Block, bytes_.size() - cursor_);
    std::memcpy(buffer, bytes_.data() + cursor_, got);
    std::memset(buffer + got, 0xFF, Block - got);
    cursor_ += got;
    count = static_cast<std::int16_t>(got);
    position += static_cast<std::uint32_t>(got);
}

int MemoryIO::fetch(std::uint8_t* out, int n) {
    ++fills_;
    if (cursor_ >= bytes_.size()) return 0;
    const std::size_t got = std::min<std::size_t>(static_cast<std::size_t>(n), bytes_.size() - cursor_);
    std::memcpy(out, bytes_.data() + cursor_, got);
    cursor_ += got;
    return static_cast<int>(got);
}

void MemoryIO::flush(int n) {
    if (n <= 0 || mainError.code != 0) return;
    if (bytes_.size() < cursor_ + n) bytes_.resize(cursor_ + n);
    std::memcpy(bytes_.data() + cursor_, buffer, static_cast<std::size_t>(n));
    cursor_ += static_cast<std::uint64_t>(n);
    position += static_cast<std::uint32_t>(n);
    index = 0;
}
