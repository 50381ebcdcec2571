#include "storage/DISK.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#define HX_OPEN _open
#define HX_READ _read
#define HX_WRITE _write
#define HX_LSEEK _lseek
#define HX_CLOSE _close
#define HX_BINARY _O_BINARY
#define HX_RW_PERMS (_S_IREAD | _S_IWRITE)
#else
#include <unistd.h>
#define HX_OPEN ::open
#define HX_READ ::read
#define HX_WRITE ::write
#define HX_LSEEK ::lseek
#define HX_CLOSE ::close
#define HX_BINARY 0
#define HX_RW_PERMS 0666
#endif

#include "notice/UserNotice.h"

namespace {
constexpr int DiskBlock = 512;
}

DISK::DISK(std::string path) : path_(std::move(path)) {
    readBlockSize = writeBlockSize = DiskBlock;
    if (path_.size() >= 2 && path_[1] == ':' && std::isalpha(static_cast<unsigned char>(path_[0])))
        drive_ = std::toupper(static_cast<unsigned char>(path_[0])) - 64;
}

DISK::~DISK() {
    // A stream dropped while open still gives its handle back; no message,
    // since a destructor may run while another error is being handled.
    if (handle_ >= 0) HX_CLOSE(handle_);
}

int DISK::open(int mode) {
    openCommon(mode);
    if (handle_ >= 0) {
        HX_CLOSE(handle_);
        handle_ = -1;
    }
    bool tooLong = path_.size() >= PathCapacity;
    if (!tooLong) {
        if (mode & ModeWrite) handle_ = HX_OPEN(path_.c_str(), O_WRONLY | O_CREAT | HX_BINARY, HX_RW_PERMS);
        else handle_ = HX_OPEN(path_.c_str(), O_RDONLY | HX_BINARY);
    }
    if (handle_ < 0) {
        std::string text = "Can't Open file.\n" + path_;
        if (tooLong) text += "\nThe path is longer than 259 characters.";
        reportError(text);
        setCode(mainError, ErrorCode::OpenFailed);
        closeCommon();
        return 0;
    }
    return 1;
}

void DISK::close() {
    if (handle_ >= 0) {
        if (modeFlags & ModeWrite) flush(index);
        if (HX_CLOSE(handle_) != 0) reportError("Error Closing file.");
        handle_ = -1;
    }
    closeCommon();
}

void DISK::positionDevice() {
    if (handle_ >= 0) HX_LSEEK(handle_, static_cast<long>(position), SEEK_SET);
}

void DISK::fill() {
    if (handle_ < 0) {
        setCode(mainError, ErrorCode::EndOfFile);
        return;
    }
    int got = static_cast<int>(HX_READ(handle_, buffer, DiskBlock));
    if (got < 0) {
        readFailed(got);
        return;
    }
    if (got == 0) {
        setCode(mainError, ErrorCode::EndOfFile);
        return;
    }
    count = static_cast<std::int16_t>(got);
    position += static_cast<std::uint32_t>(got);
    for (int i = got; i < DiskBlock; ++i) buffer[i] = 0xFF;
}

void DISK::readFailed(int got) {
    char text[96];
    std::snprintf(text, sizeof text, "%s %d,%d", "Error reading file.\n", got, errno);
    reportError(text);
    setCode(mainError, ErrorCode::ReadFailed);
}

int DISK::fetch(std::uint8_t* out, int n) {
    if (handle_ < 0) return 0;
    int total = 0;
    while (total < n) {
        const int got = static_cast<int>(HX_READ(handle_, out + total, static_cast<unsigned>(n - total)));
        if (got < 0) {
            readFailed(got);
            return -1;
        }
        if (got == 0) break;
        total += got;
    }
    return total;
}

void DISK::flush(int n) {
    if (n <= 0 || mainError.code != 0 || handle_ < 0) return;
    int written = static_cast<int>(HX_WRITE(handle_, buffer, static_cast<unsigned>(n)));
    index = 0;
    if (written < n) {
        reportError("Error writing file.");
        setCode(mainError, ErrorCode::WriteFailed);
        return;
    }
    position += static_cast<std::uint32_t>(written);
}

std::uint32_t DISK::freeSpace() {
    std::error_code ec;
    std::filesystem::path p(path_);
    auto info = std::filesystem::space(p.has_parent_path() ? p.parent_path() : std::filesystem::path("."), ec);
    if (ec) return 0;
    return info.available > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(info.available);
}
